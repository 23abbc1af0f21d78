#include "Common/Source/PCCommonHelper.h"

#include <psapi.h>

#include <optional>

#include "Common/BxCommon/BxComn_String.h"
#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Common/Source/PathText.h"
#include "Tavrel/Log/ScopeTrace.h"

namespace {

constexpr DWORD kQueryAndReadAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x410

// A desktop holds at most 65,536 user handles; a walk longer than that can
// only be going round in circles while windows are reordered under it.
constexpr int kMaxWindowsWalked = 65536;

// The executable path of an opened process, or nothing when the process
// could not be opened (null) or its path cannot be read. A failed
// GetModuleFileNameExW counts like a process that cannot be opened: its
// caller then skips the path check. Only the characters that the query
// reports as written are read.
std::optional<std::wstring> ReadExecutablePath(HANDLE process) {
    if (process == nullptr) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    DWORD written = GetModuleFileNameExW(process, nullptr, path, MAX_PATH);
    if (written == 0) return std::nullopt;
    return std::wstring(path, written);
}

}  // namespace

CParentControlProcessHelper::CParentControlProcessHelper() {
    TAVREL_SCOPE_TRACE(L"CParentControlProcessHelper::CParentControlProcessHelper");
}

CParentControlProcessHelper::~CParentControlProcessHelper() {
    TAVREL_SCOPE_TRACE(L"CParentControlProcessHelper::~CParentControlProcessHelper");
}

bool CParentControlProcessHelper::CloseProcessInList(const PcAppStopList& list) {
    TAVREL_SCOPE_TRACE(L"CParentControlProcessHelper::CloseProcessInList");
    for (const PcAppStopItem& item : list) {
        // Held until the close request is posted: while a handle to the
        // process is open, its id cannot pass to another process, whose
        // window would otherwise be asked to close.
        BxCommon::UniqueHandle process(OpenProcess(kQueryAndReadAccess, FALSE, item.uPid));
        if (std::optional<std::wstring> path = ReadExecutablePath(process.Get())) {
            std::wstring lowered = ParentControl::LowerCaseLetters(*path);
            if (item.tsAppFilePath.find(lowered) == std::wstring::npos) {
                TAVREL_LOG(2, L"CloseProcessInList() --- Process file path is not match! PID: "
                                  << item.uPid << L" tsAppFilePath: " << item.tsAppFilePath << L" tsFilePath: "
                                  << lowered);
                continue;
            }
        }
        if (HWND window = GetWindowHandleByPID(item.uPid)) PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return true;
}

HWND CParentControlProcessHelper::GetWindowHandleByPID(uint32_t pid) {
    TAVREL_SCOPE_TRACE(L"CParentControlProcessHelper::GetWindowHandleByPID");
    HWND window = GetTopWindow(nullptr);
    for (int walked = 0; window != nullptr && walked < kMaxWindowsWalked; ++walked) {
        // Every query is a round trip to the window server; the owner test
        // comes first because it rules out almost every window.
        DWORD owner = 0;
        const bool qualifies = GetWindowThreadProcessId(window, &owner) != 0 && owner == pid &&
                               (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0 && GetParent(window) == nullptr;
        if (qualifies) {
            std::wstring handleText;
            BxCommon::String::Format(handleText, L"0x%08x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
            TAVREL_LOG(2, L"GetWindowHandleByPID() --- hWnd=" << handleText << L" Pid=" << pid);
            return window;
        }
        window = GetWindow(window, GW_HWNDNEXT);
    }
    return nullptr;
}

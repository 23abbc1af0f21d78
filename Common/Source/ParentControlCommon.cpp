#include "Common/Source/ParentControlCommon.h"

#include <windows.h>
#include <shlwapi.h>

#include <memory>

#include "Common/BxCommon/BxComn_Library.h"
#include "Common/BxCommon/BxComn_Registry.h"
#include "Common/FrwkCommon/Frwk_Utility.h"
#include "Common/Source/PathText.h"
#include "Tavrel/Log/ScopeTrace.h"

namespace {

using ParentControl::LowerCaseLetters;

constexpr WORD kArchitectureUnknown = 0xFFFF;
constexpr DWORD kDefaultView = 0;
WORD g_nativeArchitecture = kArchitectureUnknown;

bool Contains(const std::wstring& lowerPath, const std::wstring& lowerFolder) {
    return lowerPath.find(lowerFolder) != std::wstring::npos;
}

// The folder that holds the installation folder, lower-cased. An installation
// folder that does not fit MAX_PATH is not a folder we could have installed
// to; rather than guess at a part of it, the test is skipped (nothing).
bool ProductParentFolder(std::wstring& parent) {
    std::wstring folder = Frwk::Utility::GetInstalledFolder();
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (folder.size() > MAX_PATH) return false;
    wchar_t buffer[MAX_PATH + 1] = {};
    folder.copy(buffer, folder.size());
    PathRemoveFileSpecW(buffer);
    parent = LowerCaseLetters(buffer);
    return true;
}

void LogCaught(DWORD errorCode) {
    TAVREL_LOG(
        2, L"CParentControlCommon::GetAppExceptionList() caught BxCommon::Exception::Base, error code: " << errorCode);
}

}  // namespace

bool IsNativeX64System() {
    if (g_nativeArchitecture == kArchitectureUnknown) {
        BxCommon::Library::Base kernel(L"kernel32.dll");
        if (kernel.GetHandle() == nullptr) return false;
        using GetNativeSystemInfoFunction = void(WINAPI*)(SYSTEM_INFO*);
        auto getNativeSystemInfo = reinterpret_cast<GetNativeSystemInfoFunction>(
            reinterpret_cast<void (*)()>(kernel.GetFunction(L"GetNativeSystemInfo")));
        if (getNativeSystemInfo == nullptr) return false;
        SYSTEM_INFO info{};
        getNativeSystemInfo(&info);
        g_nativeArchitecture = info.wProcessorArchitecture;
    }
    return g_nativeArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

bool CParentControlCommon::IsFilteredApp(const std::wstring& path) {
    const std::wstring lowerPath = LowerCaseLetters(path);
    if (Contains(lowerPath, LowerCaseLetters(Frwk::Utility::GetSystemDirectory()))) return true;

    std::wstring productParent;
    if (ProductParentFolder(productParent) && Contains(lowerPath, productParent)) return true;

    std::vector<std::wstring> exceptions;
    GetAppExceptionList(kAppCtrlExceptFolderListKey, exceptions);
    for (const std::wstring& stored : exceptions) {
        std::wstring folder;
        if (!ParentControl::DecryptExceptionFolder(stored, folder)) continue;
        // An empty folder is no folder: it would be found in every path and
        // empty the whole list.
        if (folder.empty()) continue;
        folder = LowerCaseLetters(folder);
        if (Contains(lowerPath, folder)) {
            TAVREL_LOG(2, L"Filter App, tstrLowerFileName=" << lowerPath << L" tsExceptFolder" << folder);
            return true;
        }
    }
    return false;
}

int CParentControlCommon::GetAppExceptionList(const wchar_t* keyPath, std::vector<std::wstring>& list) {
    TAVREL_SCOPE_TRACE(L"CParentControlCommon::GetAppExceptionList");
    int count = 0;
    try {
        BxCommon::Storage::Registry storage(IsNativeX64System() ? BxCommon::Storage::kView64 : kDefaultView);
        ParentControl::ReadExceptionEntries(
            storage, keyPath,
            [](size_t names) { TAVREL_LOG(2, L"ArrayOfAppName size:" << static_cast<uint32_t>(names)); },
            [&](const ParentControl::StoredExceptionEntry& entry) {
                // One value that cannot be read as a string costs its own
                // line only; the folders after it still count.
                if (entry.readError != ERROR_SUCCESS) {
                    LogCaught(entry.readError);
                } else if (!entry.storedText.empty()) {
                    list.push_back(entry.storedText);
                    ++count;
                }
            });
    } catch (BxCommon::Exception::Base* e) {
        const std::unique_ptr<BxCommon::Exception::Base> owned(e);
        const auto* storage = dynamic_cast<const BxCommon::Storage::Exception*>(owned.get());
        LogCaught(storage != nullptr ? storage->GetErrorCode() : 0);
    } catch (...) {
        // Read before the log gate, whose service calls may change it.
        const DWORD lastError = GetLastError();
        TAVREL_LOG(2, L"CParentControlCommon::GetAppExceptionList() caught an exception of another kind, last error: "
                          << lastError);
    }
    return count;
}

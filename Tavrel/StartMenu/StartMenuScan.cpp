#include "Tavrel/StartMenu/StartMenuScan.h"

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Common/BxCommon/InstComn_ShellLink.h"
#include "Common/Source/ParentControlCommon.h"
#include "Common/Source/PathText.h"
#include "Tavrel/Log/ScopeTrace.h"
#include "Tavrel/StartMenu/ExpandPathVariables.h"
#include "Tavrel/StartMenu/FolderTrail.h"

namespace {

using Tavrel::StartMenu::FolderTrail;
using Tavrel::StartMenu::IdentifyFolder;

constexpr DWORD kResolveTimeoutMs = 100;
constexpr int kDaysPerWeek = 7;

// Whether `path` names an existing file or folder exactly. A wildcard ("*"
// or "?", which no file name can hold) would make FindFirstFileW find some
// other file; the long-path prefix "\\?\" is no wildcard.
bool Exists(const std::wstring& path) {
    const size_t afterPrefix = path.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
    if (path.find_first_of(L"*?", afterPrefix) != std::wstring::npos) return false;
    WIN32_FIND_DATAW data;
    return static_cast<bool>(BxCommon::UniqueFindHandle(FindFirstFileW(path.c_str(), &data)));
}

// The next entry of a listing; false at its end, with the reason kept in
// `end` (ERROR_NO_MORE_FILES when the listing is complete).
bool NextEntry(const BxCommon::UniqueFindHandle& listing, WIN32_FIND_DATAW& entry, DWORD& end) {
    if (FindNextFileW(listing.Get(), &entry)) return true;
    end = GetLastError();
    return false;
}

PcAppCtrlItem MakeItem(const std::wstring& fileName, const std::wstring& path, const std::wstring& description) {
    PcAppCtrlItem item;
    item.tsFileName = fileName;
    item.tsFilePath = path;
    item.tsFolderPrefix = path;
    item.tsFileDesc = description;
    item.lstDailySchedule.resize(kDaysPerWeek);
    return item;
}

// One file of the tree: a record when it leads to an application to list.
void ScanFile(const std::wstring& folder, const std::wstring& name, PcAppCtrlList& appList) {
    std::wstring target, description;
    if (!InstCommon::Utility::ShellLink::ResolveShortcut(folder + name, target, description, kResolveTimeoutMs)) {
        TAVREL_LOG(5, L"InstCommon::Utility::ShellLink::ResolveShortcut() failed:");
    }
    const std::wstring lowerTarget = ParentControl::LowerCaseLetters(target);
    if (lowerTarget.find(L".exe") == std::wstring::npos) {
        TAVREL_LOG(2, L"Filter non-exe file --- " << lowerTarget);
        return;
    }
    const std::wstring expanded = Tavrel::StartMenu::ExpandPathVariables(target);
    if (expanded.empty() || !Exists(expanded)) {
        TAVREL_LOG(2, L"Filter no-exist file --- " << expanded);
        return;
    }
    // The filter sees the target as the shortcut stores it, not expanded.
    if (CParentControlCommon::IsFilteredApp(target)) {
        TAVREL_LOG(2, L"Filter system file --- " << target);
        return;
    }
    appList.push_back(MakeItem(name, expanded, description));
}

bool ScanFolder(const std::wstring& dirPath, PcAppCtrlList& appList, DWORD* pdwError, FolderTrail& trail) {
    TAVREL_SCOPE_TRACE(L"GetCurrentUserStartMenuAppList");
    if (dirPath.empty()) {
        if (pdwError != nullptr) *pdwError = ERROR_BAD_ARGUMENTS;
        TAVREL_LOG(5, L"tsDirPath is NULL");
        return false;
    }
    const std::wstring folder = dirPath.back() == L'\\' ? dirPath : dirPath + L'\\';

    WIN32_FIND_DATAW entry;
    BxCommon::UniqueFindHandle listing(FindFirstFileW((folder + L"*").c_str(), &entry));
    if (!listing) {
        if (pdwError != nullptr) *pdwError = GetLastError();
        return false;
    }
    trail.Enter(IdentifyFolder(folder));

    bool result = true;
    DWORD listingEnd = ERROR_NO_MORE_FILES;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const std::wstring subfolder = folder + name + L'\\';
            if (!trail.MayEnter(IdentifyFolder(subfolder))) continue;
            if (!ScanFolder(subfolder, appList, pdwError, trail)) result = false;
            continue;
        }
        ScanFile(folder, name, appList);
    } while (NextEntry(listing, entry, listingEnd));
    trail.Leave();

    // A listing cut short is a folder that could not be listed whole; what
    // it gave so far stays in the list.
    if (listingEnd != ERROR_NO_MORE_FILES) {
        if (pdwError != nullptr) *pdwError = listingEnd;
        return false;
    }
    if (result && pdwError != nullptr) *pdwError = ERROR_SUCCESS;
    return result;
}

}  // namespace

bool GetCurrentUserStartMenuAppList(const std::wstring& dirPath, PcAppCtrlList& appList, DWORD* pdwError) {
    FolderTrail trail;
    return ScanFolder(dirPath, appList, pdwError, trail);
}

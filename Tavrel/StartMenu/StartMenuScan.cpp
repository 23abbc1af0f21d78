#include "Tavrel/StartMenu/StartMenuScan.h"

#include <algorithm>
#include <vector>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Common/BxCommon/InstComn_ShellLink.h"
#include "Common/Source/ParentControlCommon.h"
#include "Common/Source/PathText.h"
#include "Tavrel/Log/ScopeTrace.h"
#include "Tavrel/StartMenu/ExpandPathVariables.h"

namespace {

constexpr DWORD kResolveTimeoutMs = 100;
constexpr int kDaysPerWeek = 7;

// Identifies a folder whatever path leads to it.
struct FolderIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FolderIdentity& other) const {
        return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
};

bool IdentifyFolder(const std::wstring& path, FolderIdentity& identity) {
    BxCommon::UniqueFileHandle folder(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!folder || !GetFileInformationByHandle(folder.Get(), &information)) return false;
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
    return true;
}

bool Exists(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    BxCommon::UniqueFindHandle search(FindFirstFileW(path.c_str(), &data));
    return search && FindClose(search.Release());
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

bool ScanFolder(const std::wstring& dirPath, PcAppCtrlList& appList, DWORD* pdwError,
                std::vector<FolderIdentity>& ancestors) {
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
    // A junction or link that leads back to a folder being scanned would
    // repeat the scan without end: such a folder is listed once only.
    FolderIdentity identity;
    const bool identified = IdentifyFolder(folder, identity);
    if (identified) ancestors.push_back(identity);

    bool result = true;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const std::wstring subfolder = folder + name + L'\\';
            FolderIdentity child;
            if (IdentifyFolder(subfolder, child) &&
                std::find(ancestors.begin(), ancestors.end(), child) != ancestors.end()) {
                continue;
            }
            if (!ScanFolder(subfolder, appList, pdwError, ancestors)) result = false;
            continue;
        }
        ScanFile(folder, name, appList);
    } while (FindNextFileW(listing.Get(), &entry));

    if (identified) ancestors.pop_back();
    if (result && pdwError != nullptr) *pdwError = ERROR_SUCCESS;
    return result;
}

}  // namespace

bool GetCurrentUserStartMenuAppList(const std::wstring& dirPath, PcAppCtrlList& appList, DWORD* pdwError) {
    std::vector<FolderIdentity> ancestors;
    return ScanFolder(dirPath, appList, pdwError, ancestors);
}

#include "Tavrel/StartMenu/StartMenuScan.h"

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Tavrel/Log/ScopeTrace.h"
#include "Tavrel/StartMenu/AppExamination.h"
#include "Tavrel/StartMenu/FolderTrail.h"

namespace {

using Tavrel::StartMenu::FolderIdentity;
using Tavrel::StartMenu::FolderTrail;
using Tavrel::StartMenu::IdentifyFolder;

constexpr int kDaysPerWeek = 7;

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
    const Tavrel::StartMenu::AppExamination examination = Tavrel::StartMenu::ExamineShortcut(folder + name);
    if (examination.outcome == Tavrel::StartMenu::AppOutcome::kListed) {
        appList.push_back(MakeItem(name, examination.expanded, examination.description));
    }
}

// `identity` is the folder's, asked once by whoever decided to enter it.
bool ScanFolder(const std::wstring& dirPath, const FolderIdentity& identity, PcAppCtrlList& appList, DWORD* pdwError,
                FolderTrail& trail) {
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
    trail.Enter(identity);

    bool result = true;
    DWORD listingEnd = ERROR_NO_MORE_FILES;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const std::wstring subfolder = folder + name + L'\\';
            const FolderIdentity subfolderIdentity = IdentifyFolder(subfolder);
            if (!trail.MayEnter(subfolderIdentity)) continue;
            if (!ScanFolder(subfolder, subfolderIdentity, appList, pdwError, trail)) result = false;
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
    return ScanFolder(dirPath, IdentifyFolder(dirPath), appList, pdwError, trail);
}

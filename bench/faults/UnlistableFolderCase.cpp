// A Start Menu folder that cannot be listed costs its own shortcuts only:
// the folders beside it are still listed, and the call answers as usual.
//
// Under Wine, permissions do not deny a listing to a root user (chmod 000
// is bypassed), but a folder held open without sharing does: listing it
// needs read access, which that open refuses to everyone else, on Windows
// as well as under Wine.
#include <windows.h>

#include "Cases.h"
#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Conversation.h"
#include "Scene.h"
#include "SettingFixtures.h"

namespace Faults {
namespace {

bool CanList(const std::wstring& folder, DWORD& error) {
    WIN32_FIND_DATAW entry;
    const BxCommon::UniqueFindHandle listing(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    error = listing ? ERROR_SUCCESS : GetLastError();
    return static_cast<bool>(listing);
}

}  // namespace

void UnlistableFolder(Verdict& verdict) {
    Scene scene;
    PlaceShortcut(scene.Menu(L"A Before\\Chess.lnk"), scene.Program(L"Chess"));
    PlaceShortcut(scene.Menu(L"M Locked\\Hidden.lnk"), scene.Program(L"Hidden"));
    PlaceShortcut(scene.Menu(L"Z After\\Paint.lnk"), scene.Program(L"Paint"));
    ProductPathSetting product(scene.ProductFolder());

    const std::wstring locked = scene.Menu(L"M Locked");
    const BxCommon::UniqueFileHandle hold(
        CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    DWORD listingError = ERROR_SUCCESS;
    if (!hold || CanList(locked, listingError)) {
        verdict.Skip(L"no way found to make a folder unlistable here: a folder held open without sharing " +
                     std::wstring(hold ? L"can still be listed" : L"cannot be opened") +
                     L", and permissions do not stop a root user");
        return;
    }
    verdict.Note(L"the held folder cannot be listed (Windows error " + std::to_wstring(listingError) + L")");

    const AppList list = ListApplications(verdict);
    verdict.Expect(list.Names() == std::vector<std::wstring>{L"Chess", L"Paint"},
                   L"the folders beside the locked one are listed; got " + Joined(list.Names()));
}

}  // namespace Faults

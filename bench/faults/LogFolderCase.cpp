// The logging service cannot make its folder when a file stands where the
// folder beside the installation folder would be. With logging on, the
// plug-in must still load, answer both tasks and unload as usual.
#include <windows.h>

#include "Cases.h"
#include "Common/BxCommon/BxComn_FolderTree.h"
#include "Conversation.h"
#include "Scene.h"
#include "SettingFixtures.h"
#include "tavrel-host/HostSession.h"
#include "tavrel-host/OwnedJson.h"

namespace Faults {
namespace {

using TavrelHost::OwnedJson;

void ExpectSuccess(Verdict& verdict, DWORD status, const std::wstring& what) {
    verdict.Expect(status == Tavrel::kStatusSuccess, what + L" answers status " + Hex(status));
}

// Load, version, initialise, task 1, task 0, uninitialise, unload: every
// export seen through the host's own loader, so each status can be checked.
void RunRound(Verdict& verdict, const std::wstring& round) {
    TavrelHost::ComApartment apartment;
    TavrelHost::PluginModule plugin;
    DWORD version = 0;
    ExpectSuccess(verdict, plugin.Versioning(&version), round + L": Versioning");
    verdict.Expect(version == Tavrel::kInterfaceVersion, round + L": interface version " + Hex(version));
    ExpectSuccess(verdict, plugin.Initialize(), round + L": Initialize");
    {
        OwnedJson request(kListRequest), response(L"{}");
        ExpectSuccess(verdict, plugin.CallFunc(request.Get(), response.Get()), round + L": task 1");
        const AppList list = ReadAppList(response.ToText());
        verdict.Expect(list.Names() == std::vector<std::wstring>{L"Chess"},
                       round + L": task 1 lists Chess; got " + Joined(list.Names()));
    }
    {
        OwnedJson request(StopRequest()), response(L"{}");
        ExpectSuccess(verdict, plugin.CallFunc(request.Get(), response.Get()), round + L": task 0");
        verdict.Expect(response.ToText() == L"{}", round + L": task 0 leaves the response as it was");
    }
    ExpectSuccess(verdict, plugin.Uninitialize(), round + L": Uninitialize");
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void LogFolderBlocked(Verdict& verdict) {
    Scene scene;
    PlaceShortcut(scene.Menu(L"Chess.lnk"), scene.Program(L"Chess"));
    ProductPathSetting product(scene.ProductFolder());
    EnvironmentSetting level(L"QUENNET_LOG_LEVEL", L"2");
    const std::wstring logFolder = scene.Scratch(L"Suite\\VESK");

    // The control: with the folder free, level 2 does write the log, so the
    // blocked rounds below take the logging path and not a quiet one.
    RunRound(verdict, L"log folder free");
    verdict.Expect(IsFile(logFolder + L"\\Tavrel.log"),
                   L"with the folder free, level 2 writes " + logFolder + L"\\Tavrel.log");
    BxCommon::FolderTree::RemoveTree(logFolder);

    PlaceFile(logFolder, "not a folder");
    RunRound(verdict, L"log folder blocked");
    RunRound(verdict, L"log folder blocked, loaded again");
    verdict.Expect(IsFile(logFolder), L"the file in the log folder's place is left alone");
}

}  // namespace Faults

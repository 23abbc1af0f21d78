// The built plug-in with its settings not as the suite leaves them: no
// installation folder, or a file where the log folder would be.
#include <gtest/gtest.h>

#include "Common/FrwkCommon/Frwk_ProductKey.h"
#include "JsonQuoted.h"
#include "LoadedPlugin.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "TempFolder.h"
#include "TextFile.h"
#include "tavrel-host/HostSession.h"
#include "tavrel-host/OwnedJson.h"

using namespace TestSupport;

namespace {

// Chess in a Start Menu folder of the test's own. With the installation
// folder root\Suite\Pellam, the log goes to root\Suite\VESK.
class PluginSettings : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTree(menu_);
        CreateFolders(root_ / L"Suite\\Pellam");
        PlaceExecutable(chess_);
        ComScope com;
        WriteShortcut(menu_ + L"\\Chess.lnk", chess_);
    }
    void TearDown() override { RemoveTree(menu_); }

    // One load with the log level at `level`: task 1's answer, task 0 for a
    // process that cannot exist, and every export's status checked.
    std::wstring Round(const wchar_t* level) {
        TavrelHost::ComApartment apartment;
        LoadedPlugin plugin(level);
        DWORD version = 0;
        EXPECT_EQ(0x20ff0000u, plugin.Versioning(&version));
        EXPECT_EQ(0x00010001u, version);
        EXPECT_EQ(0x20ff0000u, plugin.Initialize());
        const auto call = [&](const wchar_t* request) {
            TavrelHost::OwnedJson requestValue(request), response(L"{}");
            EXPECT_EQ(0x20ff0000u, plugin.CallFunc(requestValue.Get(), response.Get())) << request;
            return response.ToText();
        };
        const std::wstring listed = call(L"{\"TaskID\":1}");
        EXPECT_EQ(L"{}", call(L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[{\"PcAppStopPid\":5,"
                              L"\"PcAppStopFilePath\":\"c:\\\\x.exe\"}]}}"));
        EXPECT_EQ(0x20ff0000u, plugin.Uninitialize());
        return listed;
    }

    TempFolder root_;
    const std::wstring chess_ = root_ / L"Apps\\Chess\\chess.exe";
    const std::wstring menu_ = StartMenuFolder() + L"\\Programs\\TavrelSettingsTest";
};

}  // namespace

TEST_F(PluginSettings, AFileWhereTheLogFolderWouldBeStopsNothing) {
    ProductPathScope product(root_ / L"Suite\\Pellam");
    EXPECT_NE(std::wstring::npos, Round(L"2").find(JsonQuoted(chess_)));
    ASSERT_TRUE(FileExists(root_ / L"Suite\\VESK\\Tavrel.log")) << "level 2 logs while the folder is free";
    RemoveTree(root_ / L"Suite\\VESK");
    ASSERT_TRUE(WriteUtf8File(root_ / L"Suite\\VESK", L"not a folder"));
    for (int load = 0; load < 2; ++load) EXPECT_NE(std::wstring::npos, Round(L"2").find(JsonQuoted(chess_)));
    EXPECT_EQ(L"not a folder", ReadUtf8File(root_ / L"Suite\\VESK"));
}

// Every application then counts as the suite's own: the list is left out.
TEST_F(PluginSettings, WithoutAnInstallationFolderNothingIsListed) {
    {
        ProductPathScope product(root_ / L"Suite\\Pellam");
        EXPECT_NE(std::wstring::npos, Round(L"5").find(JsonQuoted(chess_)));
    }
    // The log then goes below the current folder.
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW((root_ / L"Suite\\Pellam").c_str());
    ProductPathScope product(std::nullopt);
    EXPECT_EQ(L"{}", Round(L"5")) << "no value";
    ProductPathScope empty{std::wstring()};
    EXPECT_EQ(L"{}", Round(L"5")) << "an empty value";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, FRWK_PRODUCT_KEY);
    EXPECT_EQ(L"{}", Round(L"5")) << "no product key";
    SetCurrentDirectoryW(previous);
}

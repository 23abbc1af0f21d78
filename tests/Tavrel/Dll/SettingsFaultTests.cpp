// The built plug-in with its settings not as the suite leaves them (no
// installation folder, no exception key, a file where the log folder would
// be), and with no TLS slot left to the process.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "Common/FrwkCommon/Frwk_ProductKey.h"
#include "ExceptionFolders.h"
#include "ExpectedText.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "TempFolder.h"
#include "TextFile.h"
#include "tavrel-host/HostSession.h"

using namespace TestSupport;

namespace {

// Every TLS slot the process has left, held for the life of the object.
struct AllTlsSlotsTaken {
    AllTlsSlotsTaken() {
        for (DWORD slot; (slot = TlsAlloc()) != TLS_OUT_OF_INDEXES;) slots.push_back(slot);
    }
    ~AllTlsSlotsTaken() {
        for (DWORD slot : slots) TlsFree(slot);
    }
    std::vector<DWORD> slots;
};

const std::wstring kList = L"{\"TaskID\":1}";

// Chess in a Start Menu folder of the test's own. With the installation
// folder root\Suite\Pellam, the log goes to root\Suite\VESK.
class PluginSettings : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFolders(root_ / L"Suite\\Pellam");
        PlaceExecutable(chess_);
        ComScope com;
        WriteShortcut(menu_ / L"Chess.lnk", chess_);
    }

    // One load with the log level at `level`, as the host loads it: task 0
    // for a process that cannot exist, then task 1's answer.
    std::wstring Round(const wchar_t* level) {
        EnvironmentVariable logLevel(L"QUENNET_LOG_LEVEL", level);
        TavrelHost::HostSession session;
        DWORD status = 0;
        EXPECT_EQ(L"{}", session.Send(L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[{\"PcAppStopPid\":5,"
                                      L"\"PcAppStopFilePath\":\"c:\\\\x.exe\"}]}}",
                                      &status));
        EXPECT_EQ(0x20ff0000u, status);
        return session.Send(kList);
    }

    TempFolder root_;
    const std::wstring chess_ = root_ / L"Apps\\Chess\\chess.exe";
    TempFolder menu_{StartMenuFolder() + L"\\Programs\\TavrelSettingsTest"};
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

// Without an exception key the filter's registry read throws for every
// application. With no TLS slot left to the process, threads that throw at
// the same time still each keep their own exception state: every answer is
// the single-threaded one.
TEST_F(PluginSettings, ThreadsThatThrowAtOnceWithNoTlsSlotLeftAnswerAlike) {
    ProductPathScope product(root_ / L"Suite\\Pellam");
    ExceptionFoldersScope noExceptionKey;
    EnvironmentVariable level(L"QUENNET_LOG_LEVEL", L"0");
    TavrelHost::HostSession session;
    AllTlsSlotsTaken slots;
    ASSERT_FALSE(slots.slots.empty());
    const std::wstring reference = session.Send(kList);
    ASSERT_NE(std::wstring::npos, reference.find(JsonQuoted(chess_))) << reference;

    std::atomic<int> differing{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            TavrelHost::ComApartment apartment;
            for (int i = 0; i < 40; ++i) differing += session.Send(kList) == reference ? 0 : 1;
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(0, differing);
}

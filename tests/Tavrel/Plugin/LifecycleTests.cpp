#include <gtest/gtest.h>

#include "FakeQuennet.h"
#include "Tavrel/Plugin/LogFolder.h"
#include "Tavrel/Plugin/TavrelInterface.h"

TEST(Lifecycle, InitializeAndUninitializeTraceAtTheLevelsThatLetLevelTwoThrough) {
    for (uint32_t level : {0u, 1u, 2u, 3u, 5u, 6u}) {
        FakeQuennet::Reset(0x1234, level);
        EXPECT_EQ(0x20ff0000u, Interface_FastCall_Initialize());
        EXPECT_EQ(0x20ff0000u, Interface_FastCall_Uninitialize());
        std::vector<std::wstring> expected;
        if (level == 1 || level == 2) {
            expected = {L"==> Interface_FastCall_Initialize", L"<== Interface_FastCall_Initialize",
                        L"==> Interface_FastCall_Uninitialize", L"<== Interface_FastCall_Uninitialize"};
        }
        EXPECT_EQ(expected, FakeQuennet::Texts()) << "configured level " << level;
    }
}

TEST(LogFolder, SitsBesideTheInstallationFolderWhateverItsTrailingSeparator) {
    EXPECT_EQ(L"C:\\Prog\\Suite\\..\\VESK\\", Tavrel::BuildLogFolderPath(L"C:\\Prog\\Suite"));
    EXPECT_EQ(L"C:\\Prog\\Suite\\..\\VESK\\", Tavrel::BuildLogFolderPath(L"C:\\Prog\\Suite\\"));
    EXPECT_EQ(L"..\\VESK\\", Tavrel::BuildLogFolderPath(L""));
    EXPECT_EQ(L"C:\\..\\VESK\\", Tavrel::BuildLogFolderPath(L"C:\\"));
}

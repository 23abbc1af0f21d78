// Which executables the application list leaves out, with the real registry
// holding the installation folder and the encrypted exception folders.
#include <gtest/gtest.h>

#include <algorithm>

#include "Common/FrwkCommon/Frwk_Utility.h"
#include "Common/Source/ParentControlCommon.h"
#include "DebugRecorder.h"
#include "ExceptionFolders.h"
#include "FakeQuennet.h"
#include "ProductRegistry.h"

using namespace TestSupport;

namespace {

class ExceptionFilter : public ::testing::Test {
protected:
    void SetUp() override { FakeQuennet::Reset(0x1234, 2); }

    static bool Filtered(const std::wstring& path) { return CParentControlCommon::IsFilteredApp(path); }

    ProductPathScope product_{std::wstring(L"C:\\Program Files\\Brennix\\Suite")};
    ExceptionFoldersScope exceptions_;
};

}  // namespace

TEST_F(ExceptionFilter, WindowsFolderMatchesAnywhereInThePathWhateverTheCase) {
    EXPECT_TRUE(Filtered(L"C:\\WINDOWS\\system32\\calc.exe"));
    EXPECT_TRUE(Filtered(L"C:\\WindowsApps\\x.exe")) << "a substring, not a folder prefix";
    EXPECT_TRUE(Filtered(L"D:\\Backup\\c:\\windows\\x.exe"));
    EXPECT_FALSE(Filtered(L"C:\\Apps\\Chess\\Chess.exe"));
    EXPECT_FALSE(Filtered(L"%windir%\\system32\\calc.exe")) << "references are not expanded here";
}

TEST_F(ExceptionFilter, TheFolderHoldingTheInstallationFolderMatches) {
    EXPECT_TRUE(Filtered(L"C:\\Program Files\\Brennix\\Suite\\console.exe"));
    EXPECT_TRUE(Filtered(L"C:\\PROGRAM FILES\\BRENNIX\\Other\\tool.exe"));
    EXPECT_TRUE(Filtered(L"C:\\Program Files\\Brennix Tools\\x.exe")) << "a substring, not a folder prefix";
    EXPECT_FALSE(Filtered(L"C:\\Program Files\\Other\\x.exe"));
    {
        ProductPathScope trailing(std::wstring(L"C:\\Program Files\\Brennix\\Suite\\"));
        EXPECT_TRUE(Filtered(L"C:\\Program Files\\Brennix\\Other\\tool.exe"));
        EXPECT_FALSE(Filtered(L"C:\\Program Files\\Other\\x.exe"));
    }
    {
        ProductPathScope belowRoot(std::wstring(L"C:\\Suite"));
        EXPECT_TRUE(Filtered(L"C:\\Apps\\Chess\\Chess.exe")) << "the parent is C:\\, all of drive C";
        EXPECT_FALSE(Filtered(L"D:\\Apps\\Chess\\Chess.exe"));
    }
}

TEST_F(ExceptionFilter, MissingOrEmptyInstallationFolderFiltersEverything) {
    for (const auto& folder : {std::optional<std::wstring>(), std::optional<std::wstring>(L"")}) {
        ProductPathScope product(folder);
        EXPECT_TRUE(Filtered(L"D:\\Apps\\Chess\\Chess.exe"));
    }
}

TEST_F(ExceptionFilter, AnInstallationFolderBeyondMaxPathSkipsTheProductTest) {
    ProductPathScope longFolder(L"C:\\" + std::wstring(300, L'p') + L"\\Suite");
    EXPECT_FALSE(Filtered(L"D:\\Apps\\Chess\\Chess.exe"));
    EXPECT_TRUE(Filtered(L"C:\\Windows\\notepad.exe"));
}

TEST_F(ExceptionFilter, ExceptionFoldersMatchAsSubstringsAndTheMatchIsLogged) {
    exceptions_.AddFolder(L"One", L"D:\\Games");
    exceptions_.AddFolder(L"Two", L"Kids\\Chess");
    EXPECT_TRUE(Filtered(L"D:\\GAMES\\Solitaire\\sol.exe"));
    EXPECT_TRUE(Filtered(L"E:\\Apps\\Kids\\Chess\\chess.exe"));
    EXPECT_FALSE(Filtered(L"E:\\Apps\\Kids\\Paint\\paint.exe"));
    const auto texts = FakeQuennet::Texts();
    EXPECT_NE(texts.end(),
              std::find(texts.begin(), texts.end(),
                        L"Filter App, tstrLowerFileName=d:\\games\\solitaire\\sol.exe tsExceptFolderd:\\games"));
}

// "955D..." is the stored form of the empty text; one random value in 256
// decrypts to it too. An empty folder would be in every path.
TEST_F(ExceptionFilter, EmptyUndecryptableAndEmptyFolderEntriesAreSkipped) {
    exceptions_.AddString(L"A", L"");
    exceptions_.AddString(L"B", L"not hex and too short");
    exceptions_.AddFolder(L"C", L"D:\\Games");
    std::vector<std::wstring> list;
    EXPECT_EQ(2, CParentControlCommon::GetAppExceptionList(kAppCtrlExceptFolderListKey, list));
    EXPECT_EQ(2u, list.size());
    EXPECT_FALSE(Filtered(L"E:\\Apps\\x.exe"));
    EXPECT_TRUE(Filtered(L"D:\\Games\\x.exe"));

    exceptions_.AddFolder(L"D", L"");
    exceptions_.AddString(L"E", L"955D56AD18A1234214C9EA28415DCAAE");
    EXPECT_FALSE(Filtered(L"E:\\Apps\\x.exe"));
    EXPECT_TRUE(Filtered(L"D:\\Games\\x.exe"));
}

// Written by OpenSSL: the one block "\" 00 "corrupt block!" under the string
// key, `printf '\\\0corrupt block!' | openssl enc -aes-128-cbc -K
// 4b3cc97454ff199366599fdddee989da -iv 0 -nopad`. Its text would end at the
// zero byte, and "\" is in every path: a corrupt entry must not empty the list.
// A block that ends in zero bytes is text padded with them, as some writers
// pad: "D:\Zeros" and eight zero bytes (the same command, with them).
TEST_F(ExceptionFilter, AnEntryWithBytesAfterAZeroByteIsSkippedButZeroPaddingIsText) {
    exceptions_.AddString(L"Corrupt", L"E3EEEE04675D87BB209B917175C32951");
    exceptions_.AddFolder(L"Games", L"D:\\Games");
    exceptions_.AddString(L"Zeros", L"9084F00A8113CC8CEA80D40D471EFB92");
    EXPECT_FALSE(Filtered(L"E:\\Apps\\x.exe"));
    EXPECT_TRUE(Filtered(L"D:\\Games\\x.exe"));
    EXPECT_TRUE(Filtered(L"D:\\Zeros\\x.exe"));
}

// Written by OpenSSL, not by this code: "D:\Arcade" under the string key,
// `openssl enc -aes-128-cbc -K 4b3cc97454ff199366599fdddee989da -iv 0`.
TEST_F(ExceptionFilter, AValueStoredByAnotherAesImplementationIsApplied) {
    exceptions_.AddString(L"Arcade", L"08A4EDF642182F5F8E39389AFC5E9CDE");
    EXPECT_TRUE(Filtered(L"D:\\Arcade\\pinball.exe"));
    EXPECT_FALSE(Filtered(L"D:\\Games\\pinball.exe"));
}

TEST_F(ExceptionFilter, AValueThatIsNotAStringIsSkippedWithOneLine) {
    exceptions_.AddFolder(L"A", L"D:\\Games");
    const DWORD number = 7;
    exceptions_.AddRaw(L"A_Dword", REG_DWORD, &number, sizeof number);
    exceptions_.AddFolder(L"C", L"D:\\Music");
    std::vector<std::wstring> list = {L"kept"};
    EXPECT_EQ(2, CParentControlCommon::GetAppExceptionList(kAppCtrlExceptFolderListKey, list));
    EXPECT_EQ(3u, list.size());
    EXPECT_EQ((std::vector<std::wstring>{
                  L"==> CParentControlCommon::GetAppExceptionList", L"ArrayOfAppName size:0x3",
                  L"CParentControlCommon::GetAppExceptionList() caught BxCommon::Exception::Base, error code: 0xd",
                  L"<== CParentControlCommon::GetAppExceptionList"}),
              FakeQuennet::Texts());
    EXPECT_TRUE(Filtered(L"D:\\Music\\x.exe"));
}

TEST_F(ExceptionFilter, AMissingExceptionKeyGivesAnEmptyList) {
    std::vector<std::wstring> list;
    EXPECT_EQ(0, CParentControlCommon::GetAppExceptionList(kAppCtrlExceptFolderListKey, list));
    EXPECT_TRUE(list.empty());
    const auto texts = FakeQuennet::Texts();
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ(L"CParentControlCommon::GetAppExceptionList() caught BxCommon::Exception::Base, error code: 0x2",
              texts[1]);
}

TEST(SystemUtilities, InstalledFolderIsReadAsStoredOrEmptyWithADebugLine) {
    SwitchOnWithRecorder(BxCommon::TheDebugLog(), 256);
    {
        ProductPathScope product(std::wstring(L"C:\\Suite\\"));
        EXPECT_EQ(L"C:\\Suite\\", Frwk::Utility::GetInstalledFolder());
    }
    EXPECT_TRUE(RecordedDebugLines().empty());
    ProductPathScope missing(std::nullopt);
    EXPECT_EQ(L"", Frwk::Utility::GetInstalledFolder());
    auto lines = RecordedDebugLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(
        std::wstring::npos,
        lines[0].find(L"*** Frwk::Utility::GetInstalledFolder() -  Got BxCommon::Storage::Exception(). [0x00000002]"))
        << lines[0];
}

// The report that tools explain verdicts with comes from the filter's own run.
TEST_F(ExceptionFilter, TheReportSaysWhichRuleDecidedAndHowEachEntryFared) {
    using ParentControl::ExceptionOutcome;
    using ParentControl::FilterRule;
    const auto report = [](const std::wstring& path, bool expected) {
        ParentControl::FilterReport filled;
        EXPECT_EQ(expected, CParentControlCommon::IsFilteredApp(path, filled)) << path;
        return filled;
    };

    auto windows = report(L"C:\\Windows\\notepad.exe", true);
    EXPECT_EQ(FilterRule::kWindowsFolder, windows.decidedBy);
    EXPECT_EQ(L"c:\\windows", windows.windowsFolder);
    EXPECT_EQ(L"", windows.installedFolder) << "not reached";

    auto product = report(L"C:\\Program Files\\Brennix\\Other\\x.exe", true);
    EXPECT_EQ(FilterRule::kProductFolder, product.decidedBy);
    EXPECT_EQ(L"C:\\Program Files\\Brennix\\Suite", product.installedFolder);
    EXPECT_EQ(L"c:\\program files\\brennix", product.productParent);
    EXPECT_TRUE(product.exceptions.empty()) << "not reached";

    auto noKey = report(L"E:\\Apps\\x.exe", false);
    EXPECT_EQ(FilterRule::kNone, noKey.decidedBy);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), noKey.exceptionKeyError);

    exceptions_.AddString(L"A", L"");
    exceptions_.AddString(L"B", L"not hex");
    const DWORD number = 7;
    exceptions_.AddRaw(L"C", REG_DWORD, &number, sizeof number);
    exceptions_.AddFolder(L"D", L"");
    exceptions_.AddFolder(L"E", L"D:\\Music");
    exceptions_.AddFolder(L"F", L"D:\\Games");
    exceptions_.AddFolder(L"G", L"D:\\Other");
    auto games = report(L"D:\\Games\\x.exe", true);
    EXPECT_EQ(FilterRule::kExceptionFolder, games.decidedBy);
    EXPECT_EQ(0u, games.exceptionKeyError);
    ASSERT_EQ(6u, games.exceptions.size()) << "G is not reached";
    const std::vector<ExceptionOutcome> outcomes = {ExceptionOutcome::kEmptyValue, ExceptionOutcome::kUndecryptable,
                                                    ExceptionOutcome::kUnreadable, ExceptionOutcome::kEmptyFolder,
                                                    ExceptionOutcome::kNotInPath,  ExceptionOutcome::kInPath};
    for (size_t i = 0; i < outcomes.size(); ++i) {
        EXPECT_EQ(outcomes[i], games.exceptions[i].outcome) << i;
        EXPECT_EQ(std::wstring(1, static_cast<wchar_t>(L'A' + i)), games.exceptions[i].valueName);
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), games.exceptions[2].readError);
    EXPECT_EQ(L"d:\\music", games.exceptions[4].folder);
    EXPECT_EQ(L"d:\\games", games.exceptions[5].folder);

    // Reporting changes nothing of what the filter logs.
    FakeQuennet::Reset(0x1234, 2);
    auto none = report(L"E:\\Apps\\x.exe", false);
    EXPECT_EQ(7u, none.exceptions.size());
    EXPECT_EQ((std::vector<std::wstring>{
                  L"==> CParentControlCommon::GetAppExceptionList", L"ArrayOfAppName size:0x7",
                  L"CParentControlCommon::GetAppExceptionList() caught BxCommon::Exception::Base, error code: 0xd",
                  L"<== CParentControlCommon::GetAppExceptionList"}),
              FakeQuennet::Texts());

    ProductPathScope missing(std::nullopt);
    auto unknown = report(L"E:\\Apps\\x.exe", true);
    EXPECT_EQ(FilterRule::kProductFolder, unknown.decidedBy);
    EXPECT_EQ(L"", unknown.installedFolder);
}

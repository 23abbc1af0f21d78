// The Start Menu scan over real shortcut trees, with the real registry for
// the exception filter and a recording logging service.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "ExceptionFolders.h"
#include "FakeQuennet.h"
#include "ImportPatch.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "Common/BxCommon/InstComn_ShellLink.h"
#include "Tavrel/StartMenu/StartMenuScan.h"
#include "TempFolder.h"
#include "TextFile.h"

using namespace TestSupport;

namespace {

class StartMenuScan : public ::testing::Test {
protected:
    void SetUp() override { FakeQuennet::Reset(0x1234, 2); }

    std::vector<std::wstring> Scan(const std::wstring& folder, bool expected = true, DWORD expectedError = 0) {
        PcAppCtrlList records;
        DWORD error = 0xDEAD;
        EXPECT_EQ(expected, GetCurrentUserStartMenuAppList(folder, records, &error));
        EXPECT_EQ(expectedError, error);
        records_ = records;
        std::vector<std::wstring> names;
        for (const auto& record : records) names.push_back(record.tsFileName);
        return names;
    }

    static bool Logged(const std::wstring& text) {
        auto texts = FakeQuennet::Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    ComScope com_;
    ProductPathScope product_{std::wstring(L"C:\\Program Files\\Brennix\\Pellam")};
    ExceptionFoldersScope exceptions_;
    TempFolder tree_;
    PcAppCtrlList records_;
};

}  // namespace

TEST_F(StartMenuScan, RecordsComeDepthFirstInListingOrderWithOneRecordPerShortcut) {
    PlaceExecutable(tree_ / L"Apps\\One\\one.exe");
    PlaceExecutable(tree_ / L"Apps\\Two\\two.exe");
    WriteShortcut(tree_ / L"Menu\\a.lnk", tree_ / L"Apps\\One\\one.exe", L"first");
    WriteShortcut(tree_ / L"Menu\\B\\b.lnk", tree_ / L"Apps\\Two\\two.exe");
    WriteShortcut(tree_ / L"Menu\\B\\C\\d.lnk", tree_ / L"Apps\\One\\one.exe");
    WriteShortcut(tree_ / L"Menu\\c.lnk", tree_ / L"Apps\\Two\\two.exe");

    const std::vector<std::wstring> expected = {L"a.lnk", L"b.lnk", L"d.lnk", L"c.lnk"};
    EXPECT_EQ(expected, Scan(tree_ / L"Menu"));
    EXPECT_EQ(expected, Scan(tree_ / L"Menu\\"));

    const PcAppCtrlItem& first = records_.front();
    EXPECT_FALSE(first.bSelected);
    EXPECT_EQ(0u, first.uAppType);
    EXPECT_EQ(tree_ / L"Apps\\One\\one.exe", first.tsFilePath);
    EXPECT_EQ(first.tsFilePath, first.tsFolderPrefix);
    EXPECT_EQ(L"", first.tsFileSHA1);
    EXPECT_EQ(L"first", first.tsFileDesc);
    EXPECT_FALSE(first.bDailyScheduleEnable);
    ASSERT_EQ(7u, first.lstDailySchedule.size());
    for (const auto& day : first.lstDailySchedule) EXPECT_TRUE(day.empty());
}

TEST_F(StartMenuScan, AnEmptyPathOrAFolderThatCannotBeListedFails) {
    EXPECT_TRUE(Scan(L"", false, ERROR_BAD_ARGUMENTS).empty());
    EXPECT_EQ((std::vector<std::wstring>{L"==> GetCurrentUserStartMenuAppList", L"tsDirPath is NULL",
                                         L"<== GetCurrentUserStartMenuAppList"}),
              FakeQuennet::Texts());
    EXPECT_EQ(5u, FakeQuennet::Messages()[1].level);
    EXPECT_TRUE(Scan(tree_ / L"Missing", false, ERROR_PATH_NOT_FOUND).empty());
    PcAppCtrlList records;
    EXPECT_FALSE(GetCurrentUserStartMenuAppList(L"", records, nullptr)) << "no error place is fine";
}

TEST_F(StartMenuScan, AnEmptyTreeYieldsNothingAndSucceeds) {
    CreateFolders(tree_ / L"Menu\\Empty\\Deeper");
    EXPECT_TRUE(Scan(tree_ / L"Menu").empty());
}

// Wine's shell takes seconds to refuse bytes behind the fixed start of a link
// (its size 0x4C and class id), which it parses on from.
TEST_F(StartMenuScan, FilesThatAreNotShortcutsCostALineEachAndAreLeftOut) {
    PlaceExecutable(tree_ / L"Menu\\direct.exe");
    ASSERT_TRUE(WriteUtf8File(tree_ / L"Menu\\desktop.ini", L"[.ShellClassInfo]"));
    ASSERT_TRUE(WriteUtf8File(tree_ / L"Menu\\corrupt.lnk", L"L\x0001garbage"));
    const std::string linkHeader("\x4C\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 20);
    ASSERT_TRUE(std::ofstream(std::filesystem::path(tree_ / L"Menu\\header.lnk"), std::ios::binary)
                << linkHeader << std::string(4096, '\x5A'));
    WriteEmptyFile(tree_ / L"Menu\\empty.lnk");
    PlaceExecutable(tree_ / L"Apps\\app.exe");
    WriteShortcut(tree_ / L"Menu\\valid.lnk", tree_ / L"Apps\\app.exe");
    WriteShortcut(tree_ / L"Menu\\x.lnk\\inside.lnk", tree_ / L"Apps\\app.exe");
    EXPECT_EQ((std::vector<std::wstring>{L"valid.lnk", L"inside.lnk"}), Scan(tree_ / L"Menu"));
    auto texts = FakeQuennet::Texts();
    EXPECT_EQ(5, std::count(texts.begin(), texts.end(), L"InstCommon::Utility::ShellLink::ResolveShortcut() failed:"));
    EXPECT_EQ(5, std::count(texts.begin(), texts.end(), L"Filter non-exe file --- "));
}

TEST_F(StartMenuScan, TheExecutableTestLooksForExeAnywhereInTheTarget) {
    PlaceExecutable(tree_ / L"My.Exe.Files\\run.cmd");
    PlaceExecutable(tree_ / L"Apps\\tool.EXE.bak");
    PlaceExecutable(tree_ / L"Apps\\tool.com");
    WriteShortcut(tree_ / L"Menu\\Run.lnk", tree_ / L"My.Exe.Files\\run.cmd");
    WriteShortcut(tree_ / L"Menu\\Bak.lnk", tree_ / L"Apps\\tool.EXE.bak");
    WriteShortcut(tree_ / L"Menu\\Com.lnk", tree_ / L"Apps\\tool.com");
    EXPECT_EQ((std::vector<std::wstring>{L"Bak.lnk", L"Run.lnk"}), Scan(tree_ / L"Menu"));
    std::wstring lowered = tree_ / L"Apps\\tool.com";
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; });
    EXPECT_TRUE(Logged(L"Filter non-exe file --- " + lowered));
}

TEST_F(StartMenuScan, MissingTargetsAndFilteredTargetsAreLeftOutWithTheirLines) {
    PlaceExecutable(tree_ / L"Apps\\gone.exe");
    WriteShortcut(tree_ / L"Menu\\Gone.lnk", tree_ / L"Apps\\gone.exe");
    DeleteFileW((tree_ / L"Apps\\gone.exe").c_str());
    WriteShortcut(tree_ / L"Menu\\Notepad.lnk", L"C:\\windows\\notepad.exe");
    PlaceExecutable(tree_ / L"Kids\\Chess\\chess.exe");
    WriteShortcut(tree_ / L"Menu\\Chess.lnk", tree_ / L"Kids\\Chess\\chess.exe");
    exceptions_.AddFolder(L"Kids", L"\\Kids\\");

    EXPECT_TRUE(Scan(tree_ / L"Menu").empty());
    EXPECT_TRUE(Logged(L"Filter no-exist file --- " + (tree_ / L"Apps\\gone.exe")));
    EXPECT_TRUE(Logged(L"Filter system file --- C:\\windows\\notepad.exe"));
    EXPECT_TRUE(Logged(L"Filter system file --- " + (tree_ / L"Kids\\Chess\\chess.exe")));
}

// FindFirstFileW would match "*" and "?" against real.exe beside them.
TEST_F(StartMenuScan, ATargetHoldingAWildcardDoesNotExist) {
    PlaceExecutable(tree_ / L"Apps\\real.exe");
    WriteShortcut(tree_ / L"Menu\\Star.lnk", tree_ / L"Apps\\*.exe");
    WriteShortcut(tree_ / L"Menu\\Mark.lnk", tree_ / L"Apps\\rea?.exe");
    WriteShortcut(tree_ / L"Menu\\Real.lnk", tree_ / L"Apps\\real.exe");
    EXPECT_EQ(std::vector<std::wstring>{L"Real.lnk"}, Scan(tree_ / L"Menu"));
    EXPECT_TRUE(Logged(L"Filter no-exist file --- " + (tree_ / L"Apps\\*.exe")));
    EXPECT_TRUE(Logged(L"Filter no-exist file --- " + (tree_ / L"Apps\\rea?.exe")));
}

namespace {

using FindNextFileW_t = decltype(FindNextFileW);
FindNextFileW_t* originalFindNext = nullptr;

// The listing of a folder breaks off (access denied) where b.lnk would come.
BOOL WINAPI FindNextBreakingAtB(HANDLE listing, LPWIN32_FIND_DATAW entry) {
    if (!originalFindNext(listing, entry)) return FALSE;
    if (std::wstring(entry->cFileName) != L"b.lnk") return TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

}  // namespace

TEST_F(StartMenuScan, AListingThatBreaksOffFailsAndKeepsWhatItFound) {
    PlaceExecutable(tree_ / L"Apps\\app.exe");
    for (const wchar_t* name : {L"a.lnk", L"b.lnk", L"c.lnk"})
        WriteShortcut(tree_ / L"Menu\\" + name, tree_ / L"Apps\\app.exe");
    const ImportPatch patch("kernel32.dll", "FindNextFileW", reinterpret_cast<void*>(&FindNextBreakingAtB));
    ASSERT_NE(nullptr, patch.Original());
    originalFindNext = patch.OriginalAs<FindNextFileW_t*>();
    EXPECT_EQ(std::vector<std::wstring>{L"a.lnk"}, Scan(tree_ / L"Menu", false, ERROR_ACCESS_DENIED));
}

namespace {

using CreateFileW_t = decltype(CreateFileW);
CreateFileW_t* originalCreateFile = nullptr;
int g_filesOpened = 0;

HANDLE WINAPI CountingCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE model) {
    ++g_filesOpened;
    return originalCreateFile(path, access, share, security, disposition, flags, model);
}

}  // namespace

// A folder's identity is asked once, by whoever decides to enter it: two
// asks leave a gap in which the folder can change.
TEST_F(StartMenuScan, EachFolderIsIdentifiedOnce) {
    CreateFolders(tree_ / L"Menu\\A\\B");
    CreateFolders(tree_ / L"Menu\\C");
    const ImportPatch patch("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CountingCreateFile));
    ASSERT_NE(nullptr, patch.Original());
    originalCreateFile = patch.OriginalAs<CreateFileW_t*>();
    Scan(tree_ / L"Menu");
    EXPECT_EQ(4, g_filesOpened);
}

TEST_F(StartMenuScan, ReferencedTargetsAreTestedExpandedButFilteredAsStored) {
    PlaceExecutable(tree_ / L"apps\\app.exe");
    SetCurrentDirectoryW(tree_.Path().c_str());
    WriteShortcut(tree_ / L"Menu\\App.lnk", L"%TAVREL_SCAN_APPS%\\app.exe");
    // Windows keeps "%TAVREL_SCAN_APPS%\app.exe"; Wine stores it below the
    // current folder. Either way the reference expands to the real file.
    std::wstring stored, description;
    ASSERT_TRUE(InstCommon::Utility::ShellLink::ResolveShortcut(tree_ / L"Menu\\App.lnk", stored, description, 100));
    ASSERT_NE(std::wstring::npos, stored.find(L"%TAVREL_SCAN_APPS%"));
    SetEnvironmentVariableW(L"TAVREL_SCAN_APPS", stored[0] == L'%' ? (tree_ / L"apps").c_str() : L"apps");
    // The exception names the expanded folder; the filter sees the stored text.
    exceptions_.AddFolder(L"Apps", tree_ / L"apps\\");

    EXPECT_EQ(std::vector<std::wstring>{L"App.lnk"}, Scan(tree_ / L"Menu"));
    EXPECT_EQ(tree_ / L"apps\\app.exe", records_.front().tsFilePath);

    SetEnvironmentVariableW(L"TAVREL_SCAN_APPS", nullptr);
    EXPECT_TRUE(Scan(tree_ / L"Menu").empty()) << "an undefined reference expands to a path that does not exist";
}

TEST_F(StartMenuScan, NamesBeyondTheBasicPlaneAndLongTargetsComeThroughWhole) {
    std::wstring target = tree_.Path() + L"\\";
    target.resize(259 - 4, L'd');
    target += L".exe";
    PlaceExecutable(target);
    const std::wstring dice = L"\xD83C\xDFB2 Dice.lnk";  // U+1F3B2 game die
    WriteShortcut(tree_ / L"Menu\\" + dice, target);
    EXPECT_EQ(std::vector<std::wstring>{dice}, Scan(tree_ / L"Menu"));
    EXPECT_EQ(target, records_.front().tsFilePath);
}

TEST_F(StartMenuScan, AFolderLinkedBackUpIsScannedOnce) {
    // The fixture made C:\tavrel-loop\Menu\Games\Back a link to ..\ (Menu):
    // Wine shows it as a folder that is a reparse point, like a junction.
    const std::wstring menu = L"C:\\tavrel-loop\\Menu";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((menu + L"\\Games\\Back").c_str()))
        << "needs the loop fixture";
    PlaceExecutable(tree_ / L"Apps\\app.exe");
    WriteShortcut(menu + L"\\Top.lnk", tree_ / L"Apps\\app.exe");
    WriteShortcut(menu + L"\\Games\\Inner.lnk", tree_ / L"Apps\\app.exe");
    EXPECT_EQ((std::vector<std::wstring>{L"Inner.lnk", L"Top.lnk"}), Scan(menu));
    DeleteFileW((menu + L"\\Top.lnk").c_str());
    DeleteFileW((menu + L"\\Games\\Inner.lnk").c_str());
}

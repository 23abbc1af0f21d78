// The Start Menu scan over real shortcut trees, with the real registry for
// the exception filter and a recording logging service; the fault cases
// (StartMenuFaults) take trees the shell would not leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "ChildProcess.h"
#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Common/BxCommon/InstComn_ShellLink.h"
#include "ExceptionFolders.h"
#include "ExpectedText.h"
#include "FakeQuennet.h"
#include "ImportPatch.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "Tavrel/StartMenu/StartMenuScan.h"
#include "TempFolder.h"
#include "TextFile.h"

using namespace TestSupport;

namespace {

decltype(&FindNextFileW) originalFindNext = nullptr;

// The listing of a folder breaks off (access denied) where b.lnk would come.
BOOL WINAPI FindNextBreakingAtB(HANDLE listing, LPWIN32_FIND_DATAW entry) {
    if (!originalFindNext(listing, entry)) return FALSE;
    if (std::wstring(entry->cFileName) != L"b.lnk") return TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

decltype(&CreateFileW) originalCreateFile = nullptr;
int g_filesOpened = 0;

HANDLE WINAPI CountingCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE model) {
    ++g_filesOpened;
    return originalCreateFile(path, access, share, security, disposition, flags, model);
}

class StartMenuScan : public ::testing::Test {
protected:
    StartMenuScan() { FakeQuennet::Reset(0x1234, 2); }

    // The records' names; the scan must answer `whole` and, when given, `error`.
    std::vector<std::wstring> Scan(const std::wstring& folder, bool whole = true,
                                   std::optional<DWORD> error = ERROR_SUCCESS) {
        records_.clear();
        DWORD answered = 0xDEAD;
        EXPECT_EQ(whole, GetCurrentUserStartMenuAppList(folder, records_, &answered));
        if (error) {
            EXPECT_EQ(*error, answered);
        }
        std::vector<std::wstring> names;
        for (const auto& record : records_) names.push_back(record.tsFileName);
        return names;
    }

    static bool Logged(const std::wstring& text, uint32_t level = 2) {
        const auto& messages = FakeQuennet::Messages();
        return std::any_of(messages.begin(), messages.end(),
                           [&](const auto& message) { return message.text == text && message.level == level; });
    }

    // `folders` folders of 100 copies of one shortcut, every tenth spreading
    // them over itself and three folders nested below: all are listed, depth
    // first in listing order. The copies' names start with "X", so that the
    // folder "Deeper" is listed before them.
    void ExpectNestedShortcutsInOrder(int folders) {
        PlaceExecutable(app_);
        WriteShortcut(tree_ / L"Model.lnk", app_);
        std::vector<std::wstring> expected;
        for (int folder = 100; folder < 100 + folders; ++folder) {
            std::wstring path = tree_ / L"Menu\\F" + std::to_wstring(folder);
            const int levels = folder % 10 == 0 ? 3 : 0;
            const size_t deeperFirst = expected.size();
            for (int level = 0, left = 100; level <= levels; ++level, path += L"\\Deeper") {
                CreateFolders(path);
                for (int n = 0, here = left / (levels - level + 1); n < here; ++n, --left) {
                    const std::wstring name = L"X" + std::to_wstring(folder * 10000 + level * 1000 + n) + L".lnk";
                    ASSERT_TRUE(CopyFileW((tree_ / L"Model.lnk").c_str(), (path + L"\\" + name).c_str(), FALSE));
                    expected.insert(expected.begin() + deeperFirst + n, name);
                }
            }
        }
        const std::vector<std::wstring> found = Scan(tree_ / L"Menu");
        ASSERT_EQ(expected.size(), found.size());
        for (size_t i = 0; i < found.size(); ++i) ASSERT_EQ(expected[i], found[i]) << "record " << i;
    }

    ComScope com_;
    ProductPathScope product_{std::wstring(L"C:\\Program Files\\Brennix\\Pellam")};
    ExceptionFoldersScope exceptions_;
    TempFolder tree_;
    const std::wstring app_ = tree_ / L"Apps\\app.exe";
    PcAppCtrlList records_;
};

using StartMenuFaults = StartMenuScan;

}  // namespace

TEST_F(StartMenuScan, AnEmptyPathOrAMissingFolderFailsAndAnEmptyTreeDoesNot) {
    EXPECT_TRUE(Scan(L"", false, ERROR_BAD_ARGUMENTS).empty());
    EXPECT_TRUE(Logged(L"tsDirPath is NULL", 5));
    EXPECT_TRUE(Scan(tree_ / L"Missing", false, ERROR_PATH_NOT_FOUND).empty());
    CreateFolders(tree_ / L"Menu\\Empty\\Deeper");
    EXPECT_TRUE(Scan(tree_ / L"Menu").empty());
    PcAppCtrlList records;
    EXPECT_FALSE(GetCurrentUserStartMenuAppList(L"", records, nullptr)) << "no error place is fine";
}

// Wine's shell takes seconds to refuse bytes behind the fixed start of a link
// (its size 0x4C and class id), which it parses on from.
TEST_F(StartMenuScan, FilesThatAreNotShortcutsCostALineEachAndAreLeftOut) {
    PlaceExecutable(tree_ / L"Menu\\direct.exe");
    ASSERT_TRUE(WriteUtf8File(tree_ / L"Menu\\desktop.ini", L"[.ShellClassInfo]"));
    ASSERT_TRUE(WriteUtf8File(tree_ / L"Menu\\corrupt.lnk", L"L\x0001garbage"));
    const std::string linkHeader("\x4C\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 20);
    ASSERT_TRUE(WriteBytes(tree_ / L"Menu\\header.lnk", linkHeader + std::string(4096, '\x5A')));
    WriteEmptyFile(tree_ / L"Menu\\empty.lnk");
    PlaceExecutable(app_);
    WriteShortcut(tree_ / L"Menu\\valid.lnk", app_);
    WriteShortcut(tree_ / L"Menu\\x.lnk\\inside.lnk", app_);
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
    EXPECT_TRUE(Logged(L"Filter non-exe file --- " + Lower(tree_ / L"Apps\\tool.com")));
}

// FindFirstFileW would match "*" and "?" against real.exe beside them.
TEST_F(StartMenuScan, TargetsThatDoNotExistOrAreFilteredAreLeftOutWithTheirLines) {
    PlaceExecutable(tree_ / L"Apps\\gone.exe");
    WriteShortcut(tree_ / L"Menu\\Gone.lnk", tree_ / L"Apps\\gone.exe");
    DeleteFileW((tree_ / L"Apps\\gone.exe").c_str());
    PlaceExecutable(tree_ / L"Apps\\real.exe");
    WriteShortcut(tree_ / L"Menu\\Real.lnk", tree_ / L"Apps\\real.exe");
    WriteShortcut(tree_ / L"Menu\\Star.lnk", tree_ / L"Apps\\*.exe");
    WriteShortcut(tree_ / L"Menu\\Mark.lnk", tree_ / L"Apps\\rea?.exe");
    WriteShortcut(tree_ / L"Menu\\Notepad.lnk", L"C:\\windows\\notepad.exe");
    PlaceExecutable(tree_ / L"Kids\\Chess\\chess.exe");
    WriteShortcut(tree_ / L"Menu\\Chess.lnk", tree_ / L"Kids\\Chess\\chess.exe");
    exceptions_.AddFolder(L"Kids", L"\\Kids\\");

    EXPECT_EQ(std::vector<std::wstring>{L"Real.lnk"}, Scan(tree_ / L"Menu"));
    for (const std::wstring& line : {L"Filter no-exist file --- " + (tree_ / L"Apps\\gone.exe"),
                                     L"Filter no-exist file --- " + (tree_ / L"Apps\\*.exe"),
                                     L"Filter no-exist file --- " + (tree_ / L"Apps\\rea?.exe"),
                                     std::wstring(L"Filter system file --- C:\\windows\\notepad.exe"),
                                     L"Filter system file --- " + (tree_ / L"Kids\\Chess\\chess.exe")}) {
        EXPECT_TRUE(Logged(line)) << line;
    }
}

TEST_F(StartMenuScan, AListingThatBreaksOffFailsAndKeepsWhatItFound) {
    PlaceExecutable(app_);
    for (const wchar_t* name : {L"a.lnk", L"b.lnk", L"c.lnk"}) WriteShortcut(tree_ / L"Menu\\" + name, app_);
    const ImportPatch patch("kernel32.dll", "FindNextFileW", reinterpret_cast<void*>(&FindNextBreakingAtB));
    ASSERT_NE(nullptr, patch.Original());
    originalFindNext = patch.OriginalAs<decltype(&FindNextFileW)>();
    EXPECT_EQ(std::vector<std::wstring>{L"a.lnk"}, Scan(tree_ / L"Menu", false, ERROR_ACCESS_DENIED));
}

// A folder's identity is asked once, by whoever decides to enter it: two
// asks leave a gap in which the folder can change.
TEST_F(StartMenuScan, EachFolderIsIdentifiedOnce) {
    CreateFolders(tree_ / L"Menu\\A\\B");
    CreateFolders(tree_ / L"Menu\\C");
    const ImportPatch patch("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CountingCreateFile));
    ASSERT_NE(nullptr, patch.Original());
    originalCreateFile = patch.OriginalAs<decltype(&CreateFileW)>();
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
    // The exception names the expanded folder; the filter sees the stored text.
    exceptions_.AddFolder(L"Apps", tree_ / L"apps\\");
    {
        EnvironmentVariable apps(L"TAVREL_SCAN_APPS", stored[0] == L'%' ? (tree_ / L"apps").c_str() : L"apps");
        EXPECT_EQ(std::vector<std::wstring>{L"App.lnk"}, Scan(tree_ / L"Menu"));
        EXPECT_EQ(tree_ / L"apps\\app.exe", records_.front().tsFilePath);
    }
    EXPECT_TRUE(Scan(tree_ / L"Menu").empty()) << "an undefined reference expands to a path that does not exist";
}

TEST_F(StartMenuScan, NamesBeyondTheBasicPlaneAndLongTargetsComeThroughWhole) {
    const std::wstring target = tree_.Path() + L"\\" + std::wstring(254 - tree_.Path().size(), L'd') + L".exe";
    PlaceExecutable(target);
    const std::wstring dice = L"\xD83C\xDFB2 Dice.lnk";  // U+1F3B2 game die
    WriteShortcut(tree_ / L"Menu\\" + dice, target);
    ASSERT_EQ(std::vector<std::wstring>{dice}, Scan(tree_ / L"Menu"));
    EXPECT_EQ(target, records_.front().tsFilePath) << "a target of 259 characters";
}

TEST_F(StartMenuScan, AFolderLinkedBackUpIsScannedOnce) {
    // The fixture made C:\tavrel-loop\Menu\Games\Back a link to ..\ (Menu):
    // Wine shows it as a folder that is a reparse point, like a junction.
    const std::wstring menu = L"C:\\tavrel-loop\\Menu";
    ASSERT_TRUE(FileExists(menu + L"\\Games\\Back")) << "needs the loop fixture";
    PlaceExecutable(app_);
    WriteShortcut(menu + L"\\Top.lnk", app_);
    WriteShortcut(menu + L"\\Games\\Inner.lnk", app_);
    EXPECT_EQ((std::vector<std::wstring>{L"Inner.lnk", L"Top.lnk"}), Scan(menu));
    DeleteFileW((menu + L"\\Top.lnk").c_str());
    DeleteFileW((menu + L"\\Games\\Inner.lnk").c_str());
}

// Permissions do not keep a root user from listing under Wine, but a folder
// held open without sharing does, on Windows too: listing needs read access.
TEST_F(StartMenuFaults, AFolderThatCannotBeListedCostsOnlyItsOwnShortcuts) {
    PlaceExecutable(app_);
    for (const wchar_t* shortcut : {L"A Before\\Chess.lnk", L"M Locked\\Hidden.lnk", L"Z After\\Paint.lnk"}) {
        WriteShortcut(tree_ / L"Menu\\" + shortcut, app_);
    }
    const std::wstring locked = tree_ / L"Menu\\M Locked";
    const BxCommon::UniqueFileHandle hold(
        CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    WIN32_FIND_DATAW entry;
    ASSERT_TRUE(hold && !BxCommon::UniqueFindHandle(FindFirstFileW((locked + L"\\*").c_str(), &entry)));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ((std::vector<std::wstring>{L"Chess.lnk", L"Paint.lnk"}), Scan(tree_ / L"Menu", false, std::nullopt));
}

TEST_F(StartMenuFaults, FiveHundredShortcutsInNestedFoldersComeDepthFirst) { ExpectNestedShortcutsInOrder(5); }

// ctest label "soak": some 13 s under Wine.
TEST_F(StartMenuFaults, FiveThousandShortcutsInNestedFoldersComeDepthFirst) { ExpectNestedShortcutsInOrder(50); }

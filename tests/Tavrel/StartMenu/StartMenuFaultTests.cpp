// The scan over Start Menus that the shell would not leave: a folder that
// cannot be listed, thousands of shortcuts in nested folders.
#include <gtest/gtest.h>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "ExceptionFolders.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "Tavrel/StartMenu/StartMenuScan.h"
#include "TempFolder.h"

using namespace TestSupport;

namespace {

class StartMenuFaults : public ::testing::Test {
protected:
    void SetUp() override { PlaceExecutable(chess_); }

    // The scan of tree\Menu, "name -> target" per record; `whole`: whether
    // every folder could be listed.
    std::vector<std::wstring> Scan(bool whole = true) {
        PcAppCtrlList records;
        EXPECT_EQ(whole, GetCurrentUserStartMenuAppList(tree_ / L"Menu", records, nullptr));
        std::vector<std::wstring> found;
        for (const auto& record : records) found.push_back(record.tsFileName + L" -> " + record.tsFilePath);
        return found;
    }

    // `folders` folders of 100 copies of one shortcut, every tenth spreading
    // them over itself and three folders nested below: all are listed, depth
    // first in listing order. The copies' names start with "X", so that the
    // folder "Deeper" is listed before them.
    void ExpectNestedShortcutsInOrder(int folders) {
        WriteShortcut(tree_ / L"Model.lnk", chess_);
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
                    expected.insert(expected.begin() + deeperFirst + n, name + L" -> " + chess_);
                }
            }
        }
        const std::vector<std::wstring> found = Scan();
        ASSERT_EQ(expected.size(), found.size());
        for (size_t i = 0; i < found.size(); ++i) ASSERT_EQ(expected[i], found[i]) << "record " << i;
    }

    ComScope com_;
    ProductPathScope product_{std::wstring(L"C:\\Program Files\\Brennix\\Pellam")};
    ExceptionFoldersScope exceptions_;
    TempFolder tree_;
    const std::wstring chess_ = tree_ / L"Apps\\chess.exe";
};

}  // namespace

// Permissions do not keep a root user from listing under Wine, but a folder
// held open without sharing does, on Windows too: listing needs read access.
TEST_F(StartMenuFaults, AFolderThatCannotBeListedCostsOnlyItsOwnShortcuts) {
    for (const wchar_t* shortcut : {L"A Before\\Chess.lnk", L"M Locked\\Hidden.lnk", L"Z After\\Paint.lnk"})
        WriteShortcut(tree_ / L"Menu\\" + shortcut, chess_);
    const std::wstring locked = tree_ / L"Menu\\M Locked";
    const BxCommon::UniqueFileHandle hold(
        CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    WIN32_FIND_DATAW entry;
    ASSERT_TRUE(hold && !BxCommon::UniqueFindHandle(FindFirstFileW((locked + L"\\*").c_str(), &entry)));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ((std::vector<std::wstring>{L"Chess.lnk -> " + chess_, L"Paint.lnk -> " + chess_}), Scan(false));
}

TEST_F(StartMenuFaults, FiveHundredShortcutsInNestedFoldersComeDepthFirst) { ExpectNestedShortcutsInOrder(5); }

// ctest label "soak": some 13 s under Wine.
TEST_F(StartMenuFaults, FiveThousandShortcutsInNestedFoldersComeDepthFirst) { ExpectNestedShortcutsInOrder(50); }

// Shortcut resolution and special folders through the real shell, on real
// .lnk files in a temporary tree.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "Common/BxCommon/InstComn_ShellLink.h"
#include "DebugRecorder.h"
#include "Shortcuts.h"
#include "TempFolder.h"
#include "TextFile.h"

using namespace TestSupport;
using InstCommon::Utility::ShellLink::GetSpecialFolderPath;
using InstCommon::Utility::ShellLink::ResolveShortcut;

namespace {

class ShellLinks : public ::testing::Test {
protected:
    void SetUp() override { SwitchOnWithRecorder(BxCommon::TheDebugLog(), 256); }

    ComScope com_;
    TempFolder folder_;
};

}  // namespace

TEST_F(ShellLinks, ResolvesTargetAndDescription) {
    PlaceExecutable(folder_ / L"Apps\\Chess.exe");
    WriteShortcut(folder_ / L"Chess.lnk", folder_ / L"Apps\\Chess.exe", L"Play chess");
    std::wstring target = L"old", description = L"old";
    EXPECT_TRUE(ResolveShortcut(folder_ / L"Chess.lnk", target, description, 100));
    EXPECT_EQ(folder_ / L"Apps\\Chess.exe", target);
    EXPECT_EQ(L"Play chess", description);
    EXPECT_TRUE(RecordedDebugLines().empty());
}

TEST_F(ShellLinks, FilesThatAreNotShortcutsFailToLoadWithOneLine) {
    ASSERT_TRUE(WriteUtf8File(folder_ / L"Readme.lnk", L"not a shortcut at all, just text"));
    WriteEmptyFile(folder_ / L"Empty.lnk");
    ASSERT_TRUE(WriteUtf8File(folder_ / L"Truncated.lnk", std::wstring(L"L\0\0\0\x0001\x0014\x0002", 7)));
    for (const wchar_t* name : {L"Readme.lnk", L"Empty.lnk", L"Truncated.lnk", L"Missing.lnk"}) {
        ResetDebugRecorder();
        std::wstring target = L"kept", description = L"kept";
        EXPECT_FALSE(ResolveShortcut(folder_ / name, target, description, 100)) << name;
        EXPECT_EQ(L"kept", target);
        EXPECT_EQ(L"kept", description);
        auto lines = RecordedDebugLines();
        ASSERT_EQ(1u, lines.size()) << name;
        EXPECT_NE(std::wstring::npos, lines[0].find(L" !!! <Test> *** IPersistFile::Load() failed. [0x")) << lines[0];
        EXPECT_NE(std::wstring::npos, lines[0].find(L" - InstComn_ShellLink.cpp(")) << lines[0];
    }
}

TEST_F(ShellLinks, TargetsUpToTheBufferAreReadWhole) {
    // A 259-character target: the longest that the 260-character buffer holds.
    std::wstring target = folder_.Path() + L"\\";
    while (target.size() < 259 - 4) target += L"d";
    target.resize(259 - 4);
    target += L".exe";
    ASSERT_EQ(259u, target.size());
    WriteShortcut(folder_ / L"Long.lnk", target);
    std::wstring resolved, description;
    ASSERT_TRUE(ResolveShortcut(folder_ / L"Long.lnk", resolved, description, 100));
    EXPECT_EQ(target, resolved);
}

TEST_F(ShellLinks, SpecialFolderIsTheCurrentUsersStartMenu) {
    std::wstring path = L"unchanged";
    ASSERT_TRUE(GetSpecialFolderPath(CSIDL_STARTMENU, path));
    EXPECT_NE(std::wstring::npos, path.find(L"\\Start Menu")) << path;
    EXPECT_NE(L'\\', path.back());
}

TEST_F(ShellLinks, AnUnknownSpecialFolderFailsWithOneLineAndLeavesThePath) {
    std::wstring path = L"unchanged";
    EXPECT_FALSE(GetSpecialFolderPath(0x7F, path));
    EXPECT_EQ(L"unchanged", path);
    auto lines = RecordedDebugLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::wstring::npos, lines[0].find(L"*** ::SHGetSpecialFolderLocation() failed. [0x")) << lines[0];
}

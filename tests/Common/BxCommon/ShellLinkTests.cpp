// Shortcut resolution and special folders through the real shell, on real
// .lnk files in a temporary tree.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "Common/BxCommon/InstComn_ShellLink.h"
#include "Shortcuts.h"
#include "TempFolder.h"
#include "TextFile.h"

using namespace TestSupport;
using InstCommon::Utility::ShellLink::GetSpecialFolderPath;
using InstCommon::Utility::ShellLink::ResolveShortcut;

namespace {

class ShellLinks : public ::testing::Test {
protected:
    ComScope com_;
    TempFolder folder_;
};

}  // namespace

// Files that are not shortcuts, or not there, fail and leave both outputs.
TEST_F(ShellLinks, ResolvesTargetAndDescriptionOrLeavesBothAsTheyWere) {
    PlaceExecutable(folder_ / L"Apps\\Chess.exe");
    WriteShortcut(folder_ / L"Chess.lnk", folder_ / L"Apps\\Chess.exe", L"Play chess");
    std::wstring target = L"old", description = L"old";
    EXPECT_TRUE(ResolveShortcut(folder_ / L"Chess.lnk", target, description, 100));
    EXPECT_EQ(folder_ / L"Apps\\Chess.exe", target);
    EXPECT_EQ(L"Play chess", description);

    ASSERT_TRUE(WriteUtf8File(folder_ / L"Readme.lnk", L"not a shortcut at all, just text"));
    WriteEmptyFile(folder_ / L"Empty.lnk");
    ASSERT_TRUE(WriteUtf8File(folder_ / L"Truncated.lnk", std::wstring(L"L\0\0\0\x0001\x0014\x0002", 7)));
    for (const wchar_t* name : {L"Readme.lnk", L"Empty.lnk", L"Truncated.lnk", L"Missing.lnk"}) {
        target = description = L"kept";
        EXPECT_FALSE(ResolveShortcut(folder_ / name, target, description, 100)) << name;
        EXPECT_EQ(L"kept", target);
        EXPECT_EQ(L"kept", description);
    }
}

// The folder task 1 scans, without a trailing separator; an unknown folder
// leaves the path as it was.
TEST_F(ShellLinks, SpecialFolderIsTheCurrentUsersStartMenu) {
    std::wstring path = L"unchanged";
    EXPECT_FALSE(GetSpecialFolderPath(0x7F, path));
    EXPECT_EQ(L"unchanged", path);
    ASSERT_TRUE(GetSpecialFolderPath(CSIDL_STARTMENU, path));
    EXPECT_NE(std::wstring::npos, path.find(L"\\Start Menu")) << path;
    EXPECT_NE(L'\\', path.back());
}

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

// A file that is not a shortcut, or not there, fails and leaves both outputs
// (the module's Start Menu scan meets the other kinds of broken file). The
// folder task 1 scans comes without a trailing separator; an unknown folder
// fails and leaves the output.
TEST(ShellLinks, ResolveTargetsAndFindTheStartMenuOrLeaveTheOutputsAsTheyWere) {
    ComScope com;
    TempFolder folder;
    PlaceExecutable(folder / L"Apps\\Chess.exe");
    WriteShortcut(folder / L"Chess.lnk", folder / L"Apps\\Chess.exe", L"Play chess");
    std::wstring target = L"old", description = L"old";
    EXPECT_TRUE(ResolveShortcut(folder / L"Chess.lnk", target, description, 100));
    EXPECT_EQ(folder / L"Apps\\Chess.exe", target);
    EXPECT_EQ(L"Play chess", description);
    ASSERT_TRUE(WriteUtf8File(folder / L"Readme.lnk", L"not a shortcut at all, just text"));
    for (const wchar_t* name : {L"Readme.lnk", L"Missing.lnk"}) {
        target = description = L"kept";
        EXPECT_FALSE(ResolveShortcut(folder / name, target, description, 100)) << name;
        EXPECT_EQ(L"kept", target);
        EXPECT_EQ(L"kept", description);
    }

    std::wstring path;
    ASSERT_TRUE(GetSpecialFolderPath(CSIDL_STARTMENU, path));
    EXPECT_NE(std::wstring::npos, path.find(L"\\Start Menu")) << path;
    EXPECT_NE(L'\\', path.back());
    path = L"kept";
    EXPECT_FALSE(GetSpecialFolderPath(0x7F, path)) << "no such folder";
    EXPECT_EQ(L"kept", path);
}

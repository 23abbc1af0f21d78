// The loop guard of the folder walk, for folders the file system cannot
// identify (an all-zero id, as ReFS and some shares report); the walk over a
// real loop is in StartMenuScanTests.cpp.
#include <gtest/gtest.h>

#include "Tavrel/StartMenu/FolderTrail.h"

using namespace Tavrel::StartMenu;

namespace {

FolderIdentity Folder(ULONGLONG volume, BYTE idByte) {
    BYTE id[16] = {};
    id[15] = idByte;
    return FolderIdentityFrom(volume, id);
}

}  // namespace

TEST(FolderTrail, AKnownFolderIsNotEnteredTwiceOnOneTrail) {
    FolderTrail trail;
    trail.Enter(Folder(7, 1));
    trail.Enter(Folder(7, 2));
    EXPECT_FALSE(trail.MayEnter(Folder(7, 1)));
    EXPECT_FALSE(trail.MayEnter(Folder(7, 2)));
    EXPECT_TRUE(trail.MayEnter(Folder(7, 3)));
    EXPECT_TRUE(trail.MayEnter(Folder(8, 1))) << "the same id on another volume";
    trail.Leave();
    EXPECT_TRUE(trail.MayEnter(Folder(7, 2))) << "a sibling, not an ancestor";
}

TEST(FolderTrail, UnidentifiedFoldersAreEnteredDownToTheDepthBound) {
    const FolderIdentity unknown = Folder(7, 0);
    ASSERT_FALSE(unknown.known);
    ASSERT_FALSE(IdentifyFolder(L"C:\\no\\such\\folder").known);
    FolderTrail trail;
    for (size_t depth = 0; depth < FolderTrail::kMaxDepth; ++depth) {
        ASSERT_TRUE(trail.MayEnter(unknown)) << depth;
        trail.Enter(unknown);
    }
    EXPECT_FALSE(trail.MayEnter(unknown));
    EXPECT_FALSE(trail.MayEnter(Folder(7, 1)));
    trail.Leave();
    EXPECT_TRUE(trail.MayEnter(unknown));
}

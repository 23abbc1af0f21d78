// Creating and removing whole folder trees, for the suite's tools and the
// tests (not the plug-in). Neither reports failure: callers that must know
// test the result themselves (GetFileAttributesW). Nothing throws.
#pragma once

#include <string>

namespace BxCommon::FolderTree {

// Creates a folder and its missing parents; folders that exist are fine.
// What cannot be created (no rights, a file in the way) is left out.
void CreateFolders(const std::wstring& path);

// Deletes a folder with everything in it. A linked folder (reparse point) is
// removed as a link, never followed. A missing folder is fine. What cannot
// be deleted (open elsewhere, no rights) stays, and so do its parents.
void RemoveTree(const std::wstring& path);

}  // namespace BxCommon::FolderTree

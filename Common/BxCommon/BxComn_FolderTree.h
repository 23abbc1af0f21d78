// Creating and removing whole folder trees, for the suite's tools and the
// tests (not the plug-in).
#pragma once

#include <string>

namespace BxCommon::FolderTree {

// Creates a folder and its missing parents; folders that exist are fine.
void CreateFolders(const std::wstring& path);

// Deletes a folder with everything in it. A linked folder (reparse point) is
// removed as a link, never followed. A missing folder is fine.
void RemoveTree(const std::wstring& path);

}  // namespace BxCommon::FolderTree

// A folder for one test, removed with everything in it.
#pragma once

#include <string>

#include "Common/BxCommon/BxComn_FolderTree.h"

namespace TestSupport {

class TempFolder {
public:
    // A uniquely named folder below %TEMP%.
    TempFolder();
    // The folder at `path`, emptied first (a test's own folder in a shared
    // place, such as the Start Menu that task 1 scans).
    explicit TempFolder(std::wstring path);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's full path, without a trailing separator.
    const std::wstring& Path() const { return path_; }
    // Path() + L"\\" + relative.
    std::wstring operator/(const std::wstring& relative) const;

private:
    std::wstring path_;
};

using BxCommon::FolderTree::CreateFolders;
using BxCommon::FolderTree::RemoveTree;

// Copies the file `from` to `to`, folders created; fails the test when it cannot.
void CopyFileTo(const std::wstring& from, const std::wstring& to);

}  // namespace TestSupport

// A uniquely named folder below %TEMP%, removed with everything in it.
#pragma once

#include <string>

#include "Common/BxCommon/BxComn_FolderTree.h"

namespace TestSupport {

class TempFolder {
public:
    TempFolder();
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

}  // namespace TestSupport

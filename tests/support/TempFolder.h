// A uniquely named folder below %TEMP%, removed with everything in it.
#pragma once

#include <string>

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

// Deletes a folder tree; missing folders are fine.
void RemoveTree(const std::wstring& path);
// Creates a folder and its missing parents.
void CreateFolders(const std::wstring& path);

}  // namespace TestSupport

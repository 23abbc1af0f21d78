// The encrypted exception folders under HKEY_LOCAL_MACHINE (64-bit view),
// set for one test and removed after it.
#pragma once

#include <windows.h>

#include <string>

namespace TestSupport {

class ExceptionFoldersScope {
public:
    // Starts from no exception key at all.
    ExceptionFoldersScope();
    ~ExceptionFoldersScope();
    ExceptionFoldersScope(const ExceptionFoldersScope&) = delete;
    ExceptionFoldersScope& operator=(const ExceptionFoldersScope&) = delete;

    // Stores `folder` encrypted as value `name`.
    void AddFolder(const std::wstring& name, const std::wstring& folder);
    // Stores raw data of any type as value `name`.
    void AddRaw(const std::wstring& name, DWORD type, const void* data, DWORD size);
    void AddString(const std::wstring& name, const std::wstring& text);
};

}  // namespace TestSupport

// Real shortcut files for tests, written through the shell.
#pragma once

#include <string>

namespace TestSupport {

// Initialises COM (apartment-threaded) on the test's thread for its lifetime,
// as the suite's host does before it calls the plug-in.
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

// Saves `shortcut` (folders created) pointing to `target`; fails the test
// when the shell refuses.
void WriteShortcut(const std::wstring& shortcut, const std::wstring& target, const std::wstring& description = L"");
// Creates an (empty) file, folders included.
void WriteEmptyFile(const std::wstring& path);
// The current user's Start Menu folder (CSIDL_STARTMENU), which task 1 scans.
std::wstring StartMenuFolder();
// A copy of a small real executable (winver.exe) at `path`, folders included.
void PlaceExecutable(const std::wstring& path);

}  // namespace TestSupport

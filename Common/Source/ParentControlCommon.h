// Which applications the application list leaves out: those in the Windows
// folder, in the folder that holds the product's installation folder, or in
// one of the exception folders that the suite's settings store (encrypted)
// in the registry.
#pragma once

#include <string>
#include <vector>

#include "Common/Source/AppFilterReport.h"
#include "Common/Source/ExceptionEntries.h"

class CParentControlCommon {
public:
    // True when `path` is to be left out. Folders match anywhere in the path
    // (a substring, not a prefix), both sides lower-cased (A to Z only). A
    // missing or empty installation folder or Windows folder matches every
    // path. An exception folder is the entry's text up to its first zero
    // byte; entries that do not decrypt, decrypt to empty text, or hold other
    // bytes after a zero byte (corrupt or foreign, never a folder) are
    // skipped. Reads the registry afresh on every call.
    static bool IsFilteredApp(const std::wstring& path);
    // The same, telling `report` what was looked at and which rule decided.
    static bool IsFilteredApp(const std::wstring& path, ParentControl::FilterReport& report);

    // Appends the non-empty string values of keyPath (below
    // HKEY_LOCAL_MACHINE, in the registry's order) to `list` and answers how
    // many it appended. Never throws: a value that cannot be read as a string
    // is skipped with one log line; a key that cannot be opened or listed
    // ends the reading with one log line, and what was read stays in `list`.
    static int GetAppExceptionList(const wchar_t* keyPath, std::vector<std::wstring>& list);
};

// Whether the machine's native processor architecture is x64. Asked of the
// system once per process; when the system cannot answer, false (and asked
// again next time).
bool IsNativeX64System();

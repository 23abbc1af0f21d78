// What the application filter looked at for one path and which rule decided,
// in the order it applies them, for tools that explain why an application is
// or is not listed. Filled by CParentControlCommon::IsFilteredApp.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ParentControl {

enum class FilterRule { kNone, kWindowsFolder, kProductFolder, kExceptionFolder };

// How one stored exception entry fared.
enum class ExceptionOutcome {
    kUnreadable,     // not a string value (readError says why)
    kEmptyValue,     // an empty string: no entry
    kUndecryptable,  // not the stored form of a folder
    kEmptyFolder,    // decrypts to empty text, which would be in every path
    kNotInPath,
    kInPath,
};

struct ExceptionCheck {
    std::wstring valueName;
    ExceptionOutcome outcome = ExceptionOutcome::kNotInPath;
    DWORD readError = 0;
    std::wstring folder;  // decrypted and lower-cased, for kNotInPath and kInPath
};

// Only what the filter reached is filled: it stops at the first folder that
// is in the path (decidedBy).
struct FilterReport {
    std::wstring windowsFolder;    // lower-cased; empty (unknown) is in every path
    std::wstring installedFolder;  // "ProductPath" as stored; empty when missing or empty
    // False when the installation folder is longer than MAX_PATH: no test.
    bool productFolderTested = false;
    std::wstring productParent;   // lower-cased; empty is in every path
    DWORD exceptionKeyError = 0;  // the error that ended reading the exception key
    std::vector<ExceptionCheck> exceptions;
    FilterRule decidedBy = FilterRule::kNone;
};

}  // namespace ParentControl

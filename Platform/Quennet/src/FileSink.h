// Appends whole lines to one file per module inside the log folder.
#pragma once

#include "Win32Owners.h"

#include <map>
#include <string>

namespace Quennet {

// `<module>.log` with every character that file names cannot hold (path
// separators included) replaced by `_`, and device names such as CON or
// NUL made into plain names. `module` must not be null.
std::wstring ModuleFileName(const wchar_t* module);

class FileSink {
public:
    // `folder` is a full path without a trailing separator.
    explicit FileSink(std::wstring folder);
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    // Appends `line` to the module's file (opened, or created, on first use
    // and kept open) in one write under the sink's lock, so lines of
    // concurrent callers never mix. False when the file cannot be opened or
    // written; a file that failed to open is tried again on the next line.
    bool Write(const std::wstring& fileName, const std::string& line);

private:
    struct NoCaseLess {
        bool operator()(const std::wstring& a, const std::wstring& b) const noexcept;
    };

    std::wstring folder_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    // Keyed without regard to case, like the file system, so modules named
    // "Tavrel" and "TAVREL" share one handle.
    std::map<std::wstring, UniqueFile, NoCaseLess> files_;
};

}  // namespace Quennet

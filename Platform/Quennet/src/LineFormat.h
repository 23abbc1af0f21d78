// One log line, built completely before it is written so that concurrent
// writers never interleave:
//   YYYY-MM-DD HH:MM:SS.mmm <pid> <tid> L<level> <source>(<line>): <text>\r\n
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>

namespace Quennet {

struct LineHeader {
    SYSTEMTIME localTime;
    DWORD processId;
    DWORD threadId;
    uint32_t level;
    const wchar_t* sourceFile;  // null is written as `?`
    uint32_t sourceLine;
};

// Appends `units` UTF-16 code units as UTF-8. Unpaired surrogates become
// U+FFFD and CR and LF become spaces, so the text never breaks the line.
void AppendLineText(std::string& out, const wchar_t* text, size_t units);

// The whole line in UTF-8, CR LF included. Throws std::bad_alloc only.
std::string FormatLine(const LineHeader& header, const wchar_t* text, size_t units);

}  // namespace Quennet

// Reads a log file that the logging service wrote, one record per line:
//   2026-12-07 09:34:09.123 <pid> <tid> L<level> <source>(<line>): <text>
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport {

struct LogLine {
    uint32_t level = 0;
    std::wstring source;
    uint32_t line = 0;
    std::wstring text;
};

// Lines that do not have the record form are returned with level 0 and the
// whole line as text, so that a test sees them.
std::vector<LogLine> ReadLogFile(const std::wstring& path);
std::vector<std::wstring> TextsOf(const std::vector<LogLine>& lines);

}  // namespace TestSupport

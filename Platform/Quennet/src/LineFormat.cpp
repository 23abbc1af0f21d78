#include "LineFormat.h"

#include <stdio.h>
#include <wchar.h>

namespace Quennet {
namespace {

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendCodePoint(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

void AppendLineText(std::string& out, const wchar_t* text, size_t units) {
    constexpr uint32_t Replacement = 0xFFFD;
    for (size_t i = 0; i < units; ++i) {
        uint32_t unit = static_cast<uint16_t>(text[i]);
        if (unit < 0x80) {
            // The common case, kept apart from the code-point path.
            out.push_back(unit == L'\r' || unit == L'\n' ? ' ' : static_cast<char>(unit));
        } else if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(static_cast<uint16_t>(text[i + 1]))) {
            uint32_t low = static_cast<uint16_t>(text[++i]);
            AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendCodePoint(out, Replacement);
        } else {
            AppendCodePoint(out, unit);
        }
    }
}

std::string FormatLine(const LineHeader& header, const wchar_t* text, size_t units) {
    const SYSTEMTIME& t = header.localTime;
    char prefix[96];
    int prefixLength =
        snprintf(prefix, sizeof prefix, "%04u-%02u-%02u %02u:%02u:%02u.%03u %lu %lu L%lu ", t.wYear, t.wMonth, t.wDay,
                 t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, static_cast<unsigned long>(header.processId),
                 static_cast<unsigned long>(header.threadId), static_cast<unsigned long>(header.level));
    char location[24];
    int locationLength = snprintf(location, sizeof location, "(%lu): ", static_cast<unsigned long>(header.sourceLine));

    const wchar_t* source = header.sourceFile != nullptr ? header.sourceFile : L"?";
    size_t sourceUnits = wcslen(source);

    std::string line;
    // Three bytes per unit is the most UTF-8 needs (a surrogate pair is two
    // units for four bytes), so the line is built without growing.
    line.reserve(static_cast<size_t>(prefixLength) + 3 * sourceUnits + static_cast<size_t>(locationLength) + 3 * units +
                 2);
    line.append(prefix, static_cast<size_t>(prefixLength));
    AppendLineText(line, source, sourceUnits);
    line.append(location, static_cast<size_t>(locationLength));
    AppendLineText(line, text, units);
    line.append("\r\n");
    return line;
}

}  // namespace Quennet

#include "LogFile.h"

#include <regex>
#include <sstream>

#include "TextFile.h"

namespace TestSupport {

std::vector<LogLine> ReadLogFile(const std::wstring& path) {
    static const std::wregex record(LR"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \d+ \d+ L(\d+) (.*?)\((\d+)\): (.*)$)");
    std::vector<LogLine> lines;
    std::wistringstream stream(ReadUtf8File(path));
    std::wstring raw;
    while (std::getline(stream, raw)) {
        if (!raw.empty() && raw.back() == L'\r') raw.pop_back();
        LogLine line;
        std::wsmatch match;
        if (std::regex_match(raw, match, record)) {
            line.level = static_cast<uint32_t>(std::stoul(match[1].str()));
            line.source = match[2].str();
            line.line = static_cast<uint32_t>(std::stoul(match[3].str()));
            line.text = match[4].str();
        } else {
            line.text = raw;
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::wstring> TextsOf(const std::vector<LogLine>& lines) {
    std::vector<std::wstring> texts;
    for (const LogLine& line : lines) texts.push_back(line.text);
    return texts;
}

}  // namespace TestSupport

// One fuzz case as one line of text: a JSON array of strings whose first
// names the kind ("call", "decrypt", "expand"). Every character outside
// printable ASCII is written as a \u escape, so lines stay ASCII and keep
// what UTF-8 cannot: NULs and unpaired surrogates.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace WineFuzz {

using CaseFields = std::vector<std::wstring>;

std::string FormatCase(const CaseFields& fields);
// Nothing when the line is not such an array (UTF-8 is read as well).
std::optional<CaseFields> ParseCase(const std::string& line);

}  // namespace WineFuzz

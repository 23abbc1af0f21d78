// Text that tests expect, worked out apart from the code under test.
#pragma once

#include <string>

namespace TestSupport {

// `text` as a JSON string literal, quotes included.
inline std::wstring JsonQuoted(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

// `text` with A to Z lower-cased, as the plug-in compares paths.
template <typename Text>
Text Lower(Text text) {
    for (auto& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<typename Text::value_type>(c + 32) : c;
    return text;
}

}  // namespace TestSupport

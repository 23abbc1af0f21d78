// Expected JSON written out in tests.
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

}  // namespace TestSupport

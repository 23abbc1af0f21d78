// Conversion between the UTF-16 of the interface and the UTF-8 stored inside.
#pragma once

#include <string>
#include <string_view>

namespace Jorvex {

// Surrogate pairs become one four-byte sequence; an unpaired surrogate
// becomes U+FFFD, so the result is always valid UTF-8.
std::string ToUtf8(std::wstring_view text);

// Each maximal ill-formed subsequence becomes one U+FFFD (the Unicode
// recommendation), so a damaged string still converts.
std::wstring ToUtf16(std::string_view text);

}  // namespace Jorvex

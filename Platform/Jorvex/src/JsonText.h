// JSON text in and out, and the two-call convention for handing text back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Json.h"
#include "Jorvex/JsonValue.h"

namespace Jorvex {

// Parses UTF-8 text whose containers nest at most maxDepth deep. Throws
// NestingTooDeep, Json::parse_error (malformed, trailing text) or
// Json::out_of_range (a number that overflows a double, such as 1e400).
Json ParseText(const std::string& text, size_t maxDepth);

// Compact text; non-ASCII characters are kept as UTF-8.
std::string WriteText(const Json& value);

// With buffer null, *length = text length. Otherwise *length is the capacity:
// text and NUL are copied when they fit and *length becomes the text length;
// when they do not, the buffer is untouched, *length receives the text length
// and the result is JORVEX_E_BUFFER_TOO_SMALL.
JorvexStatus CopyOut(std::wstring_view text, wchar_t* buffer, uint32_t* length);

}  // namespace Jorvex

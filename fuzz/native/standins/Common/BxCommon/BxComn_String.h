// Native stand-in for the common library's UTF-8 conversions (first on the
// include path): up to the first NUL, as on Windows, with Jorvex's code.
#pragma once

#include <string>

#include "Utf.h"

namespace BxCommon::String {
inline std::string WideToUtf8(const std::wstring& text) { return Jorvex::ToUtf8(text.c_str()); }
inline std::wstring Utf8ToWide(const std::string& text) { return Jorvex::ToUtf16(text.c_str()); }
}  // namespace BxCommon::String

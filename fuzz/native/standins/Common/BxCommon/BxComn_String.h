// Native stand-in for the two string conversions of the common library that
// stored-string encryption and decryption use, for the fuzz build only (it
// takes the product header's place on the include path). As on Windows, each
// reads up to the first NUL; the conversion itself is Jorvex's, on UTF-16
// units held one per wchar_t.
#pragma once

#include <string>

#include "Utf.h"

namespace BxCommon::String {

inline std::string WideToUtf8(const std::wstring& text) { return Jorvex::ToUtf8(text.c_str()); }

inline std::wstring Utf8ToWide(const std::string& text) { return Jorvex::ToUtf16(text.c_str()); }

}  // namespace BxCommon::String

#include <cwchar>
#include <memory>

#include "Common/BxCommon/BxComn_String.h"

namespace BxCommon::String {

// Both directions read the input up to its first NUL: the length passed to
// Windows is -1, so the terminator is converted too and counted.

std::string WideToUtf8(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(length)]());
    if (WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer.get(), length, nullptr, nullptr) != length) return {};
    return std::string(buffer.get(), static_cast<size_t>(length) - 1);
}

std::wstring Utf8ToWide(const std::string& text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[static_cast<size_t>(length)]());
    if (MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, buffer.get(), length) != length) return {};
    return std::wstring(buffer.get(), static_cast<size_t>(length) - 1);
}

}  // namespace BxCommon::String

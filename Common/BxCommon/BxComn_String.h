// Wide printf formatting that never cuts its text, and the conversions at
// the three narrow edges: UTF-8 (stored encrypted strings) and the conversion
// code page (names exchanged with Windows in narrow form).
#pragma once

#include <windows.h>

#include <array>
#include <cstdarg>
#include <memory>
#include <string>

namespace BxCommon::String {

// The formatting buffer starts at this many characters and grows by as many
// per attempt.
inline constexpr size_t kFormatStep = 256;
// Beyond this many characters a text is not formatted: growth is bounded.
inline constexpr size_t kMaxFormatSize = size_t{1} << 20;

// Formats with the C runtime's wide printf conversions (%s takes a wide
// string) into `out`, whole. Returns false, with `out` empty, when the format
// is invalid, a conversion fails, or the text would exceed kMaxFormatSize.
// Running out of memory throws std::bad_alloc.
bool Format(std::wstring& out, const wchar_t* format, ...);

// Format for a started argument list (each attempt works on a copy of it).
bool FormatList(std::wstring& out, const wchar_t* format, va_list args);

// One formatting attempt with a buffer of `size` characters. `out` is emptied
// first.
// - The text fits: `out` holds it, true.
// - The text needs a larger buffer: `size` grows by kFormatStep, false; call
//   again with a fresh argument list.
// - Any other failure (invalid format, encoding error, the bound reached):
//   `size` is left as it was, false; do not call again.
bool FormatV(std::wstring& out, size_t& size, const wchar_t* format, va_list args);

// UTF-8 (code page 65001, no flags) of the text up to its first NUL; invalid
// UTF-16 becomes replacement characters. Empty on failure.
std::string WideToUtf8(const std::wstring& text);
// UTF-16 of the bytes up to the first NUL; invalid sequences become
// replacement characters. Empty on failure.
std::wstring Utf8ToWide(const std::string& text);

// The code page of narrow names exchanged with Windows, chosen at first use
// and kept for the life of the process.
UINT ConversionCodePage();

// A wide string converted to the conversion code page: up to 128 bytes in
// place, beyond that on the heap. A null input gives a null c_str().
// Throws HResultError: E_INVALIDARG, E_OUTOFMEMORY, or the Windows error of
// any other failed conversion.
class ToConversionCodePage {
public:
    explicit ToConversionCodePage(const wchar_t* text);
    ToConversionCodePage(const ToConversionCodePage&) = delete;
    ToConversionCodePage& operator=(const ToConversionCodePage&) = delete;

    const char* c_str() const { return text_; }

private:
    std::array<char, 128> inPlace_{};
    std::unique_ptr<char[]> onHeap_;
    const char* text_ = nullptr;
};

// A narrow string of the conversion code page in UTF-16, or null when the
// input is null, too long (length + 1 reaches 0x40000000) or not convertible.
std::unique_ptr<wchar_t[]> FromConversionCodePage(const char* text);

}  // namespace BxCommon::String

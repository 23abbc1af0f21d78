// The text of one log message under construction: UTF-16 code units, no
// terminator. Numbers are appended in the service's fixed form ("0x" and
// lower-case hex digits, a bare "0" for zero) - the log has no decimal form.
#pragma once

#include <cstdint>
#include <string>

namespace Tavrel::Log {

class LogBuffer {
public:
    // A null pointer appends "(NULL)"; an empty string appends nothing.
    LogBuffer& Append(const wchar_t* text);
    // Appends the stored length, so embedded NULs are kept.
    LogBuffer& Append(const std::wstring& text);
    LogBuffer& Append(uint32_t number);

    LogBuffer& operator<<(const wchar_t* text) { return Append(text); }
    LogBuffer& operator<<(const std::wstring& text) { return Append(text); }
    LogBuffer& operator<<(uint32_t number) { return Append(number); }
    // DWORD is unsigned long here; signed values are taken as unsigned 32-bit.
    LogBuffer& operator<<(unsigned long number) { return Append(static_cast<uint32_t>(number)); }
    LogBuffer& operator<<(int number) { return Append(static_cast<uint32_t>(number)); }
    LogBuffer& operator<<(long number) { return Append(static_cast<uint32_t>(number)); }

    // The text's first byte, or null when the buffer is empty.
    const wchar_t* Data() const { return text_.empty() ? nullptr : text_.data(); }
    // Two bytes per UTF-16 unit.
    uint32_t ByteCount() const { return static_cast<uint32_t>(text_.size() * sizeof(wchar_t)); }

private:
    std::wstring text_;
};

}  // namespace Tavrel::Log

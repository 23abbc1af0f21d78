#include "Tavrel/Log/LogBuffer.h"

namespace Tavrel::Log {

LogBuffer& LogBuffer::Append(const wchar_t* text) {
    text_ += text ? text : L"(NULL)";
    return *this;
}

LogBuffer& LogBuffer::Append(const std::wstring& text) {
    text_.append(text.data(), text.size());
    return *this;
}

LogBuffer& LogBuffer::Append(uint32_t number) {
    if (number == 0) {
        text_ += L'0';
        return *this;
    }
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    wchar_t digits[8];
    int count = 0;
    for (; number != 0; number >>= 4) digits[count++] = kDigits[number & 0xF];
    text_ += L"0x";
    while (count > 0) text_ += digits[--count];
    return *this;
}

}  // namespace Tavrel::Log

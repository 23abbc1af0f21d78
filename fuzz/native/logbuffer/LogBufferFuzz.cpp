// The log facade's message buffer under random appends: C strings, strings
// with embedded NULs, null pointers and numbers of each accepted type. After
// each append the buffer must hold exactly what a plain model of it holds.
// Input: one operation byte and its arguments, repeated.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "Tavrel/Log/LogBuffer.h"
#include "support/ByteReader.h"
#include "support/Check.h"

namespace {

using Fuzz::ByteReader;
using Tavrel::Log::LogBuffer;

// The service's number form, written independently of the buffer's.
std::wstring NumberText(std::uint32_t number) {
    if (number == 0) return L"0";
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(number));
    return std::wstring(text, text + std::strlen(text));
}

std::uint32_t Number(ByteReader& in) {
    const std::uint16_t low = in.Word();
    return static_cast<std::uint32_t>(in.Word()) << 16 | low;
}

void Append(LogBuffer& buffer, std::wstring& model, ByteReader& in) {
    switch (in.Byte() % 7) {
        case 0: {
            const std::wstring text = in.Units(in.Byte() % 24);
            buffer.Append(text.c_str());
            model += text.c_str();
            break;
        }
        case 1: {
            const std::wstring text = in.Units(in.Byte() % 24);
            buffer << text;
            model += text;
            break;
        }
        case 2:
            buffer.Append(static_cast<const wchar_t*>(nullptr));
            model += L"(NULL)";
            break;
        case 3: {
            const std::uint32_t number = Number(in);
            buffer << number;
            model += NumberText(number);
            break;
        }
        case 4: {
            // Signed values are taken as unsigned 32-bit.
            const auto number = static_cast<int>(Number(in));
            buffer << number;
            model += NumberText(static_cast<std::uint32_t>(number));
            break;
        }
        case 5: {
            const long number = static_cast<std::int32_t>(Number(in));
            buffer << number;
            model += NumberText(static_cast<std::uint32_t>(number));
            break;
        }
        default: {
            // Wider than 32 bits natively; only the low 32 bits are kept.
            const unsigned long high = Number(in);
            const unsigned long number = high << 32 | Number(in);
            buffer << number;
            model += NumberText(static_cast<std::uint32_t>(number));
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    LogBuffer buffer;
    std::wstring model;
    FUZZ_CHECK(buffer.Data() == nullptr && buffer.ByteCount() == 0);
    while (!in.Done()) {
        Append(buffer, model, in);
        // Two bytes per unit on Windows, where wchar_t is a UTF-16 unit; the
        // unit's size natively.
        FUZZ_CHECK(buffer.ByteCount() == model.size() * sizeof(wchar_t));
        FUZZ_CHECK((buffer.Data() == nullptr) == model.empty());
        if (!model.empty()) FUZZ_CHECK(std::wmemcmp(buffer.Data(), model.data(), model.size()) == 0);
    }
    return 0;
}

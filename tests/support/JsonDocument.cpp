#include "JsonDocument.h"

#include <gtest/gtest.h>

#include <vector>

namespace TestSupport {

JsonDocument::JsonDocument(const std::wstring& text) {
    EXPECT_GE(VESK_PA_JsonValue_CreateJsonHandle(&handle_), 0);
    EXPECT_GE(VESK_PA_JsonValue_Reader(handle_, text.c_str()), 0) << "JSON text refused";
}

JsonDocument::~JsonDocument() { VESK_PA_JsonValue_DestroyJsonHandle(&handle_); }

std::wstring JsonDocument::Text() const {
    uint32_t length = 0;
    if (VESK_PA_JsonValue_Writer(handle_, nullptr, &length) < 0) return L"<unwritable>";
    std::vector<wchar_t> buffer(length + 1);
    uint32_t capacity = length + 1;
    if (VESK_PA_JsonValue_Writer(handle_, buffer.data(), &capacity) < 0) return L"<unwritable>";
    return std::wstring(buffer.data(), length);
}

std::wstring JsonQuoted(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

}  // namespace TestSupport

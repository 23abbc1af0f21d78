#include "FuzzJson.h"

#include <stdexcept>
#include <vector>

namespace WineFuzz {

FuzzJson::FuzzJson() {
    if (VESK_PA_JsonValue_CreateJsonHandle(&handle_) < 0) throw std::runtime_error("Jorvex cannot create a value");
}

FuzzJson::FuzzJson(const std::wstring& text) : FuzzJson() {
    readStatus_ = VESK_PA_JsonValue_Reader(handle_, text.c_str());
}

FuzzJson::~FuzzJson() { VESK_PA_JsonValue_DestroyJsonHandle(&handle_); }

std::wstring FuzzJson::Text() const {
    uint32_t length = 0;
    if (VESK_PA_JsonValue_Writer(handle_, nullptr, &length) < 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    uint32_t capacity = length + 1;
    if (VESK_PA_JsonValue_Writer(handle_, buffer.data(), &capacity) < 0) return {};
    return std::wstring(buffer.data(), capacity);
}

bool ReadUInt(JsonHandle object, const wchar_t* key, uint32_t& value) {
    JsonHandle member = JSON_HANDLE_DEFAULT_INIT;
    if (VESK_PA_JsonValue_GetAtKey(object, &member, key) < 0) return false;
    return VESK_PA_JsonValue_GetUInt(member, &value) >= 0;
}

}  // namespace WineFuzz

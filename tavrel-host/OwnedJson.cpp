#include "tavrel-host/OwnedJson.h"

#include <vector>

#include "tavrel-host/HostError.h"

namespace TavrelHost {

OwnedJson::OwnedJson(const std::wstring& text) {
    JorvexStatus status = VESK_PA_JsonValue_CreateJsonHandle(&handle_);
    if (status < 0)
        throw HostError(L"the JSON library cannot create a value (status " + std::to_wstring(status) + L")");
    status = VESK_PA_JsonValue_Reader(handle_, text.c_str());
    if (status < 0) {
        VESK_PA_JsonValue_DestroyJsonHandle(&handle_);
        throw HostError(L"the JSON library refuses the text (status " + std::to_wstring(status) + L")");
    }
}

OwnedJson::~OwnedJson() { VESK_PA_JsonValue_DestroyJsonHandle(&handle_); }

std::wstring OwnedJson::ToText() const {
    uint32_t length = 0;
    if (VESK_PA_JsonValue_Writer(handle_, nullptr, &length) < 0) return {};
    std::vector<wchar_t> buffer(length + 1, L'\0');
    uint32_t capacity = length + 1;
    if (VESK_PA_JsonValue_Writer(handle_, buffer.data(), &capacity) < 0) return {};
    return std::wstring(buffer.data(), length);
}

}  // namespace TavrelHost

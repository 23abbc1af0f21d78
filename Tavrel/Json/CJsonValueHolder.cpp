#include "Tavrel/Json/CJsonValueHolder.h"

#include <cwchar>
#include <new>

namespace Tavrel::Json {

JsonHandle DefaultJsonHandle() { return JsonHandle JSON_HANDLE_DEFAULT_INIT; }

CJsonValueHolder::CJsonValueHolder() : handle_(DefaultJsonHandle()) {
    result_ = VESK_PA_JsonValue_CreateJsonHandle(&handle_);
    owned_ = result_ >= 0 ? 1 : 0;
}

CJsonValueHolder::CJsonValueHolder(const JsonHandle& source) : handle_(DefaultJsonHandle()) {
    result_ = VESK_PA_JsonValue_ShareJsonHandle(source, &handle_);
    owned_ = result_ >= 0 ? 1 : 0;
}

CJsonValueHolder::CJsonValueHolder(ViewOf view) : handle_(view.handle) {}

CJsonValueHolder::~CJsonValueHolder() {
    if (owned_ == 1) VESK_PA_JsonValue_DestroyJsonHandle(&handle_);
    // child_ goes next, and with it the chain below, deepest last.
}

CJsonValueHolder* CJsonValueHolder::ReplaceChild(const JsonHandle& view) {
    auto child = std::unique_ptr<CJsonValueHolder>(new (std::nothrow) CJsonValueHolder(ViewOf{view}));
    if (!child) throw std::bad_alloc();
    child_ = std::move(child);
    return child_.get();
}

CJsonValueHolder* CJsonValueHolder::GetAtKey(const wchar_t* key) {
    JsonHandle out = DefaultJsonHandle();
    result_ = VESK_PA_JsonValue_GetAtKey(handle_, &out, key);
    return ReplaceChild(out);
}

CJsonValueHolder* CJsonValueHolder::GetAtIndex(uint32_t index) {
    JsonHandle out = DefaultJsonHandle();
    result_ = VESK_PA_JsonValue_GetAtIndex(handle_, &out, index);
    return ReplaceChild(out);
}

uint32_t CJsonValueHolder::GetSize() { return VESK_PA_JsonValue_GetSize(handle_); }

int32_t CJsonValueHolder::GetUInt(uint32_t& value) {
    result_ = VESK_PA_JsonValue_GetUInt(handle_, &value);
    return result_;
}

std::wstring CJsonValueHolder::GetString() {
    uint32_t length = 0;
    result_ = VESK_PA_JsonValue_GetString(handle_, nullptr, &length);
    if (result_ < 0 || length == 0) return {};

    ++length;  // room for the terminator
    const uint32_t capacity = length;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[capacity]());
    if (!buffer) return {};
    result_ = VESK_PA_JsonValue_GetString(handle_, buffer.get(), &length);
    if (result_ < 0) return {};
    // Up to the first NUL, and never past the buffer whatever the library did.
    return std::wstring(buffer.get(), wcsnlen(buffer.get(), capacity));
}

int32_t CJsonValueHolder::PutUInt(uint32_t value) {
    result_ = VESK_PA_JsonValue_PutUInt(handle_, value);
    return result_;
}

int32_t CJsonValueHolder::PutString(const std::wstring& value) {
    result_ = VESK_PA_JsonValue_PutString(handle_, value.c_str());
    return result_;
}

int32_t CJsonValueHolder::PutBool(bool value) {
    result_ = VESK_PA_JsonValue_PutBool(handle_, value ? 1 : 0);
    return result_;
}

int32_t CJsonValueHolder::PutJsonHandle(const CJsonValueHolder& source) {
    result_ = VESK_PA_JsonValue_PutJsonHandle(handle_, source.handle_);
    return result_;
}

int32_t CJsonValueHolder::Reader(const wchar_t* text) {
    result_ = VESK_PA_JsonValue_Reader(handle_, text);
    return result_;
}

}  // namespace Tavrel::Json

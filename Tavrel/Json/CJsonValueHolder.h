// CJsonValueHolder: the module's holder around one Jorvex JSON handle.
//
// A holder built by creating or sharing owns its handle only when the library
// call succeeded, and releases exactly that handle once. Lookups return a
// child holder (a view, never released) that the parent owns; a new lookup
// through the same parent replaces and frees the previous child and the
// chain below it. The status of the last library call made through a holder
// is kept in Result(); reads fall back to the caller's preset (numbers) or an
// empty string, so callers need not test it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Platform/Jorvex/include/Jorvex/JsonValue.h"

namespace Tavrel::Json {

JsonHandle DefaultJsonHandle();

class CJsonValueHolder {
public:
    struct ViewOf {
        JsonHandle handle;
    };

    // A new value without content.
    CJsonValueHolder();
    // A shared handle of `source`'s value.
    explicit CJsonValueHolder(const JsonHandle& source);
    // A view: copies the handle, owns nothing.
    explicit CJsonValueHolder(ViewOf view);
    ~CJsonValueHolder();

    CJsonValueHolder(const CJsonValueHolder&) = delete;
    CJsonValueHolder& operator=(const CJsonValueHolder&) = delete;

    // The returned child stays valid until the next lookup through this holder
    // or its destruction. Running out of memory for the child throws
    // std::bad_alloc.
    CJsonValueHolder* GetAtKey(const wchar_t* key);
    CJsonValueHolder* GetAtIndex(uint32_t index);

    // 0 for anything that is not an array.
    uint32_t GetSize();
    // `value` is written only when the read succeeds.
    int32_t GetUInt(uint32_t& value);
    // Empty when the value is missing, not a string or cannot be read.
    std::wstring GetString();

    int32_t PutUInt(uint32_t value);
    int32_t PutString(const std::wstring& value);
    int32_t PutBool(bool value);
    // This value becomes a copy of `source`'s value.
    int32_t PutJsonHandle(const CJsonValueHolder& source);
    int32_t Reader(const wchar_t* text);

    const JsonHandle& Handle() const { return handle_; }
    bool Owned() const { return owned_ != 0; }
    int32_t Result() const { return result_; }

private:
    CJsonValueHolder* ReplaceChild(const JsonHandle& view);

    JsonHandle handle_;
    uint8_t owned_ = 0;
    std::unique_ptr<CJsonValueHolder> child_;
    int32_t result_ = 0;
};

}  // namespace Tavrel::Json

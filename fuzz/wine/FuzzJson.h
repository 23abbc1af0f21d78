// A Jorvex value the fuzzer owns: created empty, released once. Unlike the
// host tool's OwnedJson it keeps text the library refuses (the value then
// stays null), since refused text is part of what is fuzzed.
#pragma once

#include <string>

#include "Platform/Jorvex/include/Jorvex/JsonValue.h"

namespace WineFuzz {

class FuzzJson {
public:
    // Throws std::runtime_error when the library cannot create a value.
    FuzzJson();
    // Reads `text` into the new value; the status is in ReadStatus().
    explicit FuzzJson(const std::wstring& text);
    ~FuzzJson();
    FuzzJson(const FuzzJson&) = delete;
    FuzzJson& operator=(const FuzzJson&) = delete;

    JsonHandle* Get() { return &handle_; }
    JsonHandle Handle() const { return handle_; }
    JorvexStatus ReadStatus() const { return readStatus_; }
    // Compact JSON text; empty when the library cannot write it.
    std::wstring Text() const;

private:
    JsonHandle handle_ = JSON_HANDLE_DEFAULT_INIT;
    JorvexStatus readStatus_ = JORVEX_OK;
};

// The unsigned number at `key` of `object` (which may be a view), or
// nothing when the member is missing or does not read as one.
bool ReadUInt(JsonHandle object, const wchar_t* key, uint32_t& value);

}  // namespace WineFuzz

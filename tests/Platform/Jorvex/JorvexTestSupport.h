// Helpers for the Jorvex tests: an owner for owning handles, short forms of the two-call functions.
#pragma once

#include <cstring>
#include <string>
#include <utility>

#include "Jorvex/JsonValue.h"

namespace JorvexTest {

inline bool operator==(const JsonHandle& a, const JsonHandle& b) { return !std::memcmp(&a, &b, sizeof a); }

constexpr JsonHandle kDefaultHandle = JSON_HANDLE_DEFAULT_INIT;

// Owns one owning handle of a new tree, read from `text` when given.
class OwnedJson {
public:
    explicit OwnedJson(const wchar_t* text = nullptr) {
        VESK_PA_JsonValue_CreateJsonHandle(&handle_);
        if (text != nullptr) VESK_PA_JsonValue_Reader(handle_, text);
    }
    OwnedJson(const OwnedJson&) = delete;
    ~OwnedJson() { VESK_PA_JsonValue_DestroyJsonHandle(&handle_); }

    JsonHandle get() const { return handle_; }
    JsonHandle* put() {
        reset();
        return &handle_;
    }
    // Releases now and answers the old words, for tests of stale use.
    JsonHandle reset() {
        const JsonHandle old = handle_;
        VESK_PA_JsonValue_DestroyJsonHandle(&handle_);
        return old;
    }

private:
    JsonHandle handle_ = kDefaultHandle;
};

inline std::wstring StatusText(JorvexStatus status) { return L"<status " + std::to_wstring(status) + L">"; }

// Runs a two-call text function; a failure comes back as "<status N>".
template <typename Function>
std::wstring TwoCall(Function function, JsonHandle value) {
    uint32_t length = 0;
    JorvexStatus status = function(value, nullptr, &length);
    std::wstring text(++length, L'\0');  // the capacity, terminator included
    if (status == JORVEX_OK) status = function(value, text.data(), &length);
    return status == JORVEX_OK ? text.substr(0, length) : StatusText(status);
}

inline std::wstring Text(JsonHandle value) { return TwoCall(VESK_PA_JsonValue_Writer, value); }
inline std::wstring String(JsonHandle value) { return TwoCall(VESK_PA_JsonValue_GetString, value); }

// Views, where the status of the lookup itself is not the point.
inline JsonHandle Key(JsonHandle object, const wchar_t* key) {
    JsonHandle view = kDefaultHandle;
    VESK_PA_JsonValue_GetAtKey(object, &view, key);
    return view;
}
inline JsonHandle Index(JsonHandle array, uint32_t index) {
    JsonHandle view = kDefaultHandle;
    VESK_PA_JsonValue_GetAtIndex(array, &view, index);
    return view;
}

inline std::wstring NestedArrays(size_t depth) { return std::wstring(depth, L'[') + std::wstring(depth, L']'); }

}  // namespace JorvexTest

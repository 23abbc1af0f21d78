// Helpers for the Jorvex tests: an owner for owning handles and short forms
// of the two-call text functions.
#pragma once

#include <cstring>
#include <string>
#include <utility>

#include "Jorvex/JsonValue.h"

namespace JorvexTest {

inline bool operator==(const JsonHandle& a, const JsonHandle& b) {
    return std::memcmp(a.Words, b.Words, sizeof a.Words) == 0;
}
inline bool operator!=(const JsonHandle& a, const JsonHandle& b) { return !(a == b); }

constexpr JsonHandle kDefaultHandle = JSON_HANDLE_DEFAULT_INIT;

// Owns one owning handle and releases it on destruction.
class OwnedJson {
public:
    OwnedJson() = default;
    OwnedJson(OwnedJson&& other) noexcept : handle_(std::exchange(other.handle_, kDefaultHandle)) {}
    OwnedJson& operator=(OwnedJson&&) = delete;
    ~OwnedJson() { VESK_PA_JsonValue_DestroyJsonHandle(&handle_); }

    // A new tree; with text, read from it (status checked by the caller via Text).
    static OwnedJson Create(const wchar_t* text = nullptr) {
        OwnedJson json;
        VESK_PA_JsonValue_CreateJsonHandle(&json.handle_);
        if (text != nullptr) {
            VESK_PA_JsonValue_Reader(json.handle_, text);
        }
        return json;
    }

    JsonHandle get() const { return handle_; }
    JsonHandle* put() {
        reset();
        return &handle_;
    }
    // Releases now and returns the words the handle had, for tests of stale use.
    JsonHandle reset() {
        const JsonHandle old = handle_;
        VESK_PA_JsonValue_DestroyJsonHandle(&handle_);
        return old;
    }

private:
    JsonHandle handle_ = kDefaultHandle;
};

inline std::wstring StatusText(JorvexStatus status) {
    return L"<status " + std::to_wstring(status) + L">";
}

// Runs a two-call text function; a failure comes back as "<status N>".
template <typename Function>
std::wstring TwoCall(Function function, JsonHandle value) {
    uint32_t length = 0;
    JorvexStatus status = function(value, nullptr, &length);
    if (status != JORVEX_OK) {
        return StatusText(status);
    }
    std::wstring text(length + 1, L'\0');
    ++length;  // the capacity, terminator included
    status = function(value, text.data(), &length);
    if (status != JORVEX_OK) {
        return StatusText(status);
    }
    text.resize(length);
    return text;
}

inline std::wstring Text(JsonHandle value) { return TwoCall(VESK_PA_JsonValue_Writer, value); }
inline std::wstring String(JsonHandle value) { return TwoCall(VESK_PA_JsonValue_GetString, value); }

// Views, for tests where the status of the lookup itself is not the point.
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

// Arrays nested `depth` deep around nothing: "[[...]]".
inline std::wstring NestedArrays(size_t depth) {
    return std::wstring(depth, L'[') + std::wstring(depth, L']');
}

// Objects nested `depth` deep around 0: {"a":{"a":...0}}.
inline std::wstring NestedObjects(size_t depth) {
    std::wstring text;
    for (size_t i = 0; i < depth; ++i) {
        text += L"{\"a\":";
    }
    return text + L"0" + std::wstring(depth, L'}');
}

}  // namespace JorvexTest

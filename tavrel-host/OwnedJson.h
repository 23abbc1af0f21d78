// A Jorvex value that the host creates and releases exactly once.
#pragma once

#include <string>

#include "Platform/Jorvex/include/Jorvex/JsonValue.h"

namespace TavrelHost {

class OwnedJson {
public:
    // A new value set from JSON text; throws HostError when the library refuses it.
    explicit OwnedJson(const std::wstring& text);
    ~OwnedJson();
    OwnedJson(const OwnedJson&) = delete;
    OwnedJson& operator=(const OwnedJson&) = delete;

    JsonHandle* Get() { return &handle_; }
    // The value as compact JSON text.
    std::wstring ToText() const;

private:
    JsonHandle handle_ = JSON_HANDLE_DEFAULT_INIT;
};

}  // namespace TavrelHost

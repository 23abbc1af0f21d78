// A value of the real JSON library owned by a test: created from text,
// released once, readable back as compact text.
#pragma once

#include <string>

#include "Platform/Jorvex/include/Jorvex/JsonValue.h"

namespace TestSupport {

class JsonDocument {
public:
    // Fails the current test when the library refuses the text.
    explicit JsonDocument(const std::wstring& text);
    ~JsonDocument();
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;

    JsonHandle* Handle() { return &handle_; }
    std::wstring Text() const;

private:
    JsonHandle handle_ = JSON_HANDLE_DEFAULT_INIT;
};

// `text` as a JSON string literal, quotes included.
std::wstring JsonQuoted(const std::wstring& text);

}  // namespace TestSupport

#pragma once

#include <string>

namespace TavrelHost {

// A failure the user must hear of in one line; the host then exits with 2.
class HostError {
public:
    explicit HostError(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& Message() const { return message_; }

private:
    std::wstring message_;
};

}  // namespace TavrelHost

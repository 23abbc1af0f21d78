// The real JSON library as a test program that links the module's code sees
// it, with this program's imports of it patched for the life of the object:
// releases the library refuses (a view, or a handle released twice) are
// counted, and single calls can be made to fail or to throw.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Jorvex/include/Jorvex/JsonValue.h"

namespace TestSupport {

class JorvexWatch {
public:
    JorvexWatch();
    ~JorvexWatch();
    JorvexWatch(const JorvexWatch&) = delete;
    JorvexWatch& operator=(const JorvexWatch&) = delete;

    int RefusedReleases() const;
    // The next CreateJsonHandle or ShareJsonHandle answers `status` and writes nothing.
    void FailNextCreate(JorvexStatus status);
    void FailNextShare(JorvexStatus status);
    // GetAtKey with `key` calls `raise`, which throws.
    void ThrowOnKey(const std::wstring& key, std::function<void()> raise);
    // The length each GetString call passed in, in order.
    const std::vector<uint32_t>& StringLengthsPassed() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace TestSupport

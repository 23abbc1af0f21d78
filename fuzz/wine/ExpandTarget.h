// Tavrel::StartMenu::ExpandPathVariables with random % patterns over
// environment variables (set with SetEnvironmentVariableW for the case and
// removed after it) whose values name themselves or each other, are empty,
// or are around MAX_PATH long. Checks: it ends (a hang is the script's
// timeout); a text without % comes back as it was; the result grows by at
// most 64 values of under 260 characters; when no value brings a % in and
// the text has at most 64 pairs, every pair is replaced; a second call
// gives the same result.
#pragma once

#include "Rng.h"
#include "Runner.h"

namespace WineFuzz {

class ExpandTarget : public Target {
public:
    explicit ExpandTarget(uint64_t seed);

    std::wstring Kind() const override { return L"expand"; }
    // {"expand", text, name, value, name, value, ...}
    CaseFields Generate() override;
    std::wstring Check(const CaseFields& fields) override;

private:
    std::wstring Name();
    std::wstring Value();
    std::wstring Pattern();

    Rng rng_;
    // Whether a variable the process started with has a % in its value.
    bool inheritedPercent_ = false;
};

}  // namespace WineFuzz

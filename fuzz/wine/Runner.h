// The loop every fuzz driver shares: generated cases (seed and count) or the
// cases of a replay file, each held in the last-case file while it runs,
// failures kept in the replay file of failures.
//   --seed N        the generator's seed (default 1)
//   --count N       cases to generate (default 1000)
//   --replay FILE   runs the cases of FILE instead
//   --failures FILE appends failing cases to FILE
//   --last FILE     holds the running case in FILE, emptied at a normal end
#pragma once

#include <cstdint>
#include <string>

#include "CaseLine.h"

namespace WineFuzz {

struct Options {
    uint64_t seed = 1;
    uint64_t count = 1000;
    std::wstring replay, failures, last;
};

// Throws std::invalid_argument on anything else on the command line.
Options ParseOptions(int argc, wchar_t** argv, int first);

class Target {
public:
    virtual ~Target() = default;
    // The first field of this target's cases.
    virtual std::wstring Kind() const = 0;
    virtual CaseFields Generate() = 0;
    // Empty when the case passes; otherwise what went wrong, in one line.
    virtual std::wstring Check(const CaseFields& fields) = 0;
    // Figures of the target's own for the progress and summary lines.
    virtual std::wstring Figures() const { return {}; }
};

// Runs the cases and prints a progress line every 50,000 cases and a
// summary ("<kind>: sent N, failed F, ..."). 0 when every case passed,
// 1 otherwise.
int RunTarget(Target& target, const Options& options);

}  // namespace WineFuzz

// A failed check in a fuzz driver: one line naming it, then a trap, which
// libFuzzer reports as a crash and saves the input for.
#pragma once

#include <cstdio>

namespace Fuzz {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    __builtin_trap();
}

}  // namespace Fuzz

#define FUZZ_CHECK(condition) ((condition) ? void(0) : ::Fuzz::Fail(#condition, __FILE__, __LINE__))

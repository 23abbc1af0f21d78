// Timing for the benchmark programs: the best of several rounds, per call.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace Bench {

inline double Seconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Nanoseconds per call of `body`, best of `rounds` rounds of `calls` calls.
template <typename Body>
double NanosecondsPerCall(long calls, Body body, int rounds = 5) {
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const double start = Seconds();
        for (long i = 0; i < calls; ++i) body();
        best = std::min(best, (Seconds() - start) / static_cast<double>(calls));
    }
    return best * 1e9;
}

inline void Report(const char* what, double nanoseconds) {
    if (nanoseconds >= 10000) {
        std::printf("%-60s %10.1f us\n", what, nanoseconds / 1000);
    } else {
        std::printf("%-60s %10.1f ns\n", what, nanoseconds);
    }
    std::fflush(stdout);
}

}  // namespace Bench

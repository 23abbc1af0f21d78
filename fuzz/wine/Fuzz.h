// What the Wine fuzz drivers share. Case N of seed S comes from a generator
// seeded with both, so `--seed S --case N` makes it again on its own.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <thread>

namespace WineFuzz {

// std::mt19937_64's output is fixed by the standard; the library's
// distributions are not, so draws are plain arithmetic on it.
class Rng {
public:
    Rng(uint64_t seed, uint64_t index) {
        std::seed_seq sequence{uint32_t(seed), uint32_t(seed >> 32), uint32_t(index), uint32_t(index >> 32)};
        engine_.seed(sequence);
    }
    uint64_t Below(uint64_t bound) { return bound == 0 ? 0 : engine_() % bound; }
    bool Chance(unsigned perMille) { return Below(1000) < perMille; }
    template <typename T>
    T Pick(std::initializer_list<T> items) {
        return items.begin()[Below(items.size())];
    }
    // 0 to `longest`, mostly short: each tenfold longer tier is four times rarer.
    size_t Length(size_t longest) {
        size_t limit = 16;
        while (limit < longest && Chance(250)) limit *= 10;
        return static_cast<size_t>(Below(std::min(limit, longest) + 1));
    }

private:
    std::mt19937_64 engine_;
};

inline uint64_t g_seed = 1, g_first = 0, g_count = 1000;
inline std::atomic<uint64_t> g_case{0}, g_started{0};

inline void Report(const wchar_t* what, std::wstring detail) {
    // Files written under Wine take the ANSI code page: keep lines ASCII.
    for (wchar_t& c : detail) c = c < 0x20 || c > 0x7E ? L'?' : c;
    std::fwprintf(stdout, L"%ls seed %llu case %llu%ls; replay: bash fuzz/run.sh --seed %llu --case %llu\n", what,
                  g_seed, g_case.load(), detail.c_str(), g_seed, g_case.load());
    std::fflush(stdout);
}

// Runs the cases that the command line names through `check`, which
// answers what went wrong ("" when the case passed): --seed S (default 1)
// with --count N (cases 0 to N - 1) or --case N (that case alone). A crash
// and a case that runs for a minute are reported too and end the process.
// Exits 0 when every case passed, 1 when one failed, 2 on a bad command line.
inline int Run(int argc, wchar_t** argv, const wchar_t* name, const std::function<std::wstring(Rng&)>& check) {
    for (int i = 1; i < argc; i += 2) {
        const std::wstring option = argv[i];
        if (i + 1 == argc || (option != L"--seed" && option != L"--count" && option != L"--case")) {
            std::fwprintf(stderr, L"usage: %ls [--seed S] [--count N | --case N]\n", argv[0]);
            return 2;
        }
        (option == L"--seed" ? g_seed : option == L"--count" ? g_count : g_first) = wcstoull(argv[i + 1], nullptr, 10);
        if (option == L"--case") g_count = 1;
    }
    SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* e) -> LONG {
        wchar_t code[32];
        std::swprintf(code, 32, L" (exception 0x%08lx)", e->ExceptionRecord->ExceptionCode);
        Report(L"CRASH", code);
        return EXCEPTION_EXECUTE_HANDLER;
    });
    std::thread([] {
        for (uint64_t seen = 0, still = 0;; Sleep(1000)) {
            still = g_started == seen ? still + 1 : 0;
            seen = g_started;
            if (still == 60) Report(L"HANG", L""), TerminateProcess(GetCurrentProcess(), 3);
        }
    }).detach();

    uint64_t failed = 0;
    for (g_case = g_first; g_case < g_first + g_count; ++g_case, ++g_started) {
        Rng rng(g_seed, g_case);
        const std::wstring failure = check(rng);
        if (!failure.empty() && ++failed <= 10) Report(L"FAILED", L": " + failure);
    }
    std::fwprintf(stdout, L"%ls: seed %llu, %llu cases, %llu failed\n", name, g_seed, g_count, failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace WineFuzz

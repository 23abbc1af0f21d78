#include "Runner.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "CaseFiles.h"

namespace WineFuzz {
namespace {

constexpr uint64_t kProgressEvery = 50000;
constexpr size_t kFailuresPrinted = 10;

uint64_t Number(const wchar_t* text) {
    wchar_t* end = nullptr;
    const uint64_t value = wcstoull(text, &end, 0);
    if (end == text || *end != L'\0') throw std::invalid_argument("not a number");
    return value;
}

void Print(const std::wstring& line) {
    std::fwprintf(stdout, L"%ls\n", line.c_str());
    std::fflush(stdout);
}

class Tally {
public:
    explicit Tally(Target& target) : target_(target) { QueryPerformanceCounter(&start_); }

    void Count(const CaseFields& fields, const std::wstring& failure, FailureFile& failures) {
        ++sent_;
        if (failure.empty()) return;
        ++failed_;
        failures.Keep(fields);
        if (failed_ <= kFailuresPrinted) Print(L"FAILED case " + std::to_wstring(sent_) + L": " + failure);
    }
    std::wstring Line() const {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        wchar_t seconds[32];
        std::swprintf(seconds, 32, L"%.1f s",
                      static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart));
        std::wstring figures = target_.Figures();
        return target_.Kind() + L": sent " + std::to_wstring(sent_) + L", failed " + std::to_wstring(failed_) +
               (figures.empty() ? L"" : L", " + figures) + L", " + seconds;
    }
    uint64_t Sent() const { return sent_; }
    uint64_t Failed() const { return failed_; }

private:
    Target& target_;
    LARGE_INTEGER start_;
    uint64_t sent_ = 0, failed_ = 0;
};

}  // namespace

Options ParseOptions(int argc, wchar_t** argv, int first) {
    Options options;
    for (int i = first; i < argc; i += 2) {
        const std::wstring name = argv[i];
        if (i + 1 >= argc) throw std::invalid_argument("option without a value");
        const wchar_t* value = argv[i + 1];
        if (name == L"--seed") {
            options.seed = Number(value);
        } else if (name == L"--count") {
            options.count = Number(value);
        } else if (name == L"--replay") {
            options.replay = value;
        } else if (name == L"--failures") {
            options.failures = value;
        } else if (name == L"--last") {
            options.last = value;
        } else {
            throw std::invalid_argument("unknown option");
        }
    }
    return options;
}

int RunTarget(Target& target, const Options& options) {
    FailureFile failures(options.failures);
    LastCaseFile last(options.last);
    Tally tally(target);
    auto run = [&](const CaseFields& fields) {
        last.Hold(fields);
        tally.Count(fields, target.Check(fields), failures);
    };
    if (!options.replay.empty()) {
        for (const CaseFields& fields : ReadCases(options.replay)) {
            if (fields.front() == target.Kind()) run(fields);
        }
    } else {
        for (uint64_t i = 0; i < options.count; ++i) {
            run(target.Generate());
            if (tally.Sent() % kProgressEvery == 0 && tally.Sent() < options.count) Print(tally.Line());
        }
    }
    last.Clear();
    Print(tally.Line());
    return tally.Failed() == 0 ? 0 : 1;
}

}  // namespace WineFuzz

// Loads the plug-in as the suite's host does and calls it for a long time,
// watching what the process holds:
//   soak.exe calls N        one load; N calls of task 1 and of task 0
//   soak.exe cycles N       N rounds of load, task 1, task 0, unload
//   soak.exe threads T S    T threads for S seconds through one load
//   soak.exe churn N        one load; N short-lived threads, each listing once
//                           (the exception key removed first, so that the
//                           filter's registry read throws on every thread)
// Task 1 lists the current user's Start Menu (prepare it with
// tavrel-demo-setup.exe); task 0 names ten processes that cannot exist.
// Prints the series and exits 1 when anything grows past its margin after
// the warm-up (or, with threads, when a task-1 answer differs).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "Common/FrwkCommon/Frwk_ProductKey.h"
#include "ProcessCounters.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/HostSession.h"

namespace {

using Soak::GrowthMargin;
using Soak::ProcessCounters;
using TavrelHost::ComApartment;
using TavrelHost::HostSession;

const std::wstring kListRequest = L"{\"TaskID\":1}";

// Process ids that are not multiples of four: Windows never hands them out,
// so no real window is ever asked to close.
std::wstring StopRequest() {
    std::wstring list;
    for (unsigned pid : {1u, 2u, 3u, 5u, 6u, 7u, 9u, 10u, 11u, 4294967295u}) {
        if (!list.empty()) list += L",";
        list += L"{\"PcAppStopPid\":" + std::to_wstring(pid) + L",\"PcAppStopFilePath\":\"c:\\\\nowhere\\\\x.exe\"}";
    }
    return L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[" + list + L"]}}";
}

void Print(const std::wstring& line) {
    std::fwprintf(stdout, L"%ls\n", line.c_str());
    std::fflush(stdout);
}

// The series of one run: the warm-up sample is the reference.
class Series {
public:
    Series(const wchar_t* unit, GrowthMargin margin) : unit_(unit), margin_(margin) {}

    void Sample(size_t done) {
        const ProcessCounters now = Soak::ReadProcessCounters();
        if (!warm_) {
            warmUp_ = now;
            warm_ = true;
        }
        last_ = now;
        Print(std::to_wstring(done) + L" " + unit_ + L": " + Soak::Describe(now));
    }

    bool Verdict() const {
        const std::wstring growth = Soak::Growth(warmUp_, last_, margin_);
        Print(growth.empty() ? L"growth within margins" : L"GROWTH: " + growth);
        return growth.empty();
    }

private:
    const wchar_t* unit_;
    GrowthMargin margin_;
    bool warm_ = false;
    ProcessCounters warmUp_, last_;
};

bool RunCalls(size_t calls) {
    HostSession session;
    const std::wstring stop = StopRequest();
    Series series(L"calls of each task", {8, 1u << 20});
    for (size_t i = 1; i <= calls; ++i) {
        session.Send(kListRequest);
        session.Send(stop);
        if (i % 500 == 0 || i == 100) series.Sample(i);
    }
    return series.Verdict();
}

// A load/unload round gives back all it takes: the C++ runtime's emergency
// exception pool (73 KiB per module, of which Wine counts the pages touched,
// 4 to 16 KiB) is freed on unload now, and 1,000 rounds grow by less than
// 20 KiB. The margin is a few pages plus 1 KiB per round: a block of a few
// hundred bytes a round passes, the pool of one module does not.
constexpr uint64_t kCommitSlack = 64 * 1024;
constexpr uint64_t kCommitMarginPerCycle = 1024;

bool RunCycles(size_t cycles) {
    const std::wstring stop = StopRequest();
    Series series(L"cycles of load, task 1, task 0, unload", {2, kCommitSlack + kCommitMarginPerCycle * cycles});
    for (size_t i = 1; i <= cycles; ++i) {
        {
            HostSession session;
            session.Send(kListRequest);
            session.Send(stop);
        }
        if (i % 25 == 0 || i == 10) series.Sample(i);
    }
    return series.Verdict();
}

bool RunThreads(unsigned threadCount, unsigned seconds) {
    HostSession session;
    const std::wstring reference = session.Send(kListRequest);
    const std::wstring stop = StopRequest();
    std::atomic<bool> stopping{false};
    std::atomic<size_t> lists{0}, stops{0}, mismatches{0};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < threadCount; ++t) {
        threads.emplace_back([&] {
            ComApartment apartment;
            while (!stopping) {
                if (session.Send(kListRequest) != reference) ++mismatches;
                ++lists;
                session.Send(stop);
                ++stops;
            }
        });
    }
    Sleep(seconds * 1000);
    stopping = true;
    for (auto& thread : threads) thread.join();
    Print(std::to_wstring(threadCount) + L" threads, " + std::to_wstring(seconds) + L" s: " + std::to_wstring(lists) +
          L" task-1 calls, " + std::to_wstring(stops) + L" task-0 calls, " + std::to_wstring(mismatches) +
          L" task-1 answers differing from the single-threaded one (" + std::to_wstring(reference.size()) +
          L" characters)");
    return mismatches == 0 && lists > 0;
}

void RemoveExceptionKey() {
    HKEY settings = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, FRWK_PRODUCT_KEY L"\\ParentControl", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                      &settings) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteTreeW(settings, L"AppCtrlExceptFolderList");
    RegCloseKey(settings);
}

// A thread's exception state lives as long as the thread: a host whose
// threads come and go sees nothing grow. Four threads at a time, each
// listing once and ending.
bool RunChurn(size_t threadCount) {
    RemoveExceptionKey();
    HostSession session;
    const std::wstring reference = session.Send(kListRequest);
    Series series(L"short-lived threads", {2, 32 * 1024});
    std::atomic<size_t> mismatches{0};
    constexpr size_t kAtOnce = 4;
    for (size_t done = 0; done < threadCount;) {
        std::vector<std::thread> threads;
        for (size_t t = 0; t < kAtOnce && done < threadCount; ++t, ++done) {
            threads.emplace_back([&] {
                ComApartment apartment;
                if (session.Send(kListRequest) != reference) ++mismatches;
            });
        }
        for (auto& thread : threads) thread.join();
        if (done % 500 == 0 || done == 200) series.Sample(done);
    }
    Print(std::to_wstring(mismatches) + L" answers differing from the single-threaded one (" +
          std::to_wstring(reference.size()) + L" characters)");
    return series.Verdict() && mismatches == 0;
}

size_t Number(const wchar_t* text) { return static_cast<size_t>(wcstoull(text, nullptr, 10)); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    try {
        bool ok = false;
        if (mode == L"calls" && argc == 3) {
            ok = RunCalls(Number(argv[2]));
        } else if (mode == L"cycles" && argc == 3) {
            ok = RunCycles(Number(argv[2]));
        } else if (mode == L"churn" && argc == 3) {
            ok = RunChurn(Number(argv[2]));
        } else if (mode == L"threads" && argc == 4) {
            ok = RunThreads(static_cast<unsigned>(Number(argv[2])), static_cast<unsigned>(Number(argv[3])));
        } else {
            Print(L"usage: soak calls N | soak cycles N | soak threads THREADS SECONDS | soak churn THREADS");
            return 2;
        }
        return ok ? 0 : 1;
    } catch (const TavrelHost::HostError& e) {
        Print(e.Message());
        return 2;
    }
}

// Long runs of the built plug-in, loaded as the suite's host loads it, that
// watch what the process holds (ctest label "soak"). The counts are the
// bounded ones; TAVREL_SOAK_SCALE=N makes every run N times as long.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "ExceptionFolders.h"
#include "ProcessCounters.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "TempFolder.h"
#include "TextFile.h"
#include "tavrel-host/HostSession.h"

using namespace TestSupport;
using TavrelHost::HostSession;

namespace {

size_t Scaled(size_t count) {
    const char* scale = std::getenv("TAVREL_SOAK_SCALE");
    return scale != nullptr && std::atoi(scale) > 1 ? count * std::atoi(scale) : count;
}

const std::wstring kList = L"{\"TaskID\":1}";
// Process ids that are not multiples of four: Windows never hands them out,
// so no real window is ever asked to close.
const std::wstring kStop =
    L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[{\"PcAppStopPid\":1,\"PcAppStopFilePath\":\"c:\\\\x.exe\"},"
    L"{\"PcAppStopPid\":6,\"PcAppStopFilePath\":\"c:\\\\x.exe\"},"
    L"{\"PcAppStopPid\":4294967295,\"PcAppStopFilePath\":\"c:\\\\x.exe\"}]}}";

// One line per sample, so that a long run can be read as it goes. The first
// sample, taken after the warm-up, is the reference for the last one: handle
// rows and commit may grow by their margins, windows and JSON handles not.
struct Series {
    const char* unit;
    uint64_t handleRows, commitBytes;
    size_t samples = 0;
    ProcessCounters first{}, last{};

    void Sample(size_t done) {
        const ProcessCounters c = last = ReadProcessCounters();
        if (samples++ == 0) first = c;
        std::printf(
            "%zu %s: handles %llu commit %llu KiB windows %llu json %llu | win-handles %llu private %llu KiB "
            "gui %llu\n",
            done, unit, c.handleRows, c.commitBytes / 1024, c.windows, c.jsonHandles, c.handleCount,
            c.privateBytes / 1024, c.guiObjects);
        std::fflush(stdout);
    }
    ~Series() {
        EXPECT_LE(last.handleRows, first.handleRows + handleRows) << unit;
        EXPECT_LE(last.commitBytes, first.commitBytes + commitBytes) << unit;
        EXPECT_LE(last.windows, first.windows) << unit;
        EXPECT_LE(last.jsonHandles, first.jsonHandles) << unit;
    }
};

// Task 1 answers from threads of their own through one load.
struct Answers {
    std::atomic<size_t> calls{0}, differing{0};  // from the single-threaded one

    // Task 1 (and task 0 after it, with `stop`) on `threads` threads at once,
    // each calling while `more(its calls so far)`.
    template <typename More>
    void FromThreads(HostSession& session, const std::wstring& reference, size_t threads, bool stop, More more) {
        std::vector<std::thread> running;
        for (size_t t = 0; t < threads; ++t) {
            running.emplace_back([&] {
                TavrelHost::ComApartment apartment;
                for (size_t n = 0; more(n); ++n, ++calls) {
                    differing += session.Send(kList) != reference;
                    if (stop) session.Send(kStop);
                }
            });
        }
        for (auto& thread : running) thread.join();
    }
};

// A Start Menu folder of the test's own, as the demo's: applications that
// are listed, and a file that each rule leaves out.
class Soak : public ::testing::Test {
protected:
    void SetUp() override {
        ComScope com;
        for (const std::wstring app :
             {L"Apps\\Chess", L"Apps\\Paint", L"Apps\\Gone", L"Suite\\Console", L"Games\\Sol"}) {
            PlaceExecutable(root_ / app + L".exe");
            WriteShortcut(menu_ / app.substr(app.find(L'\\') + 1) + L".lnk", root_ / app + L".exe");
        }
        DeleteFileW((root_ / L"Apps\\Gone.exe").c_str());
        WriteShortcut(menu_ / L"Notepad.lnk", L"C:\\windows\\notepad.exe");
        WriteUtf8File(menu_ / L"Read me.txt", L"not a shortcut");
        exceptions_.AddFolder(L"Games", root_ / L"Games");
    }

    TempFolder root_;
    ProductPathScope product_{root_ / L"Suite\\Pellam"};
    ExceptionFoldersScope exceptions_;
    TempFolder menu_{StartMenuFolder() + L"\\Programs\\TavrelSoak"};
};

}  // namespace

TEST_F(Soak, CallsInOneLoadHoldNothingMore) {
    HostSession session;
    Series series{"calls of each task", 8, 1 << 20};
    for (size_t i = 1; i <= Scaled(1000); ++i) {
        session.Send(kList);
        session.Send(kStop);
        if (i % 500 == 0 || i == 100) series.Sample(i);
    }
}

// A round gives back all it takes: the C++ runtime's emergency exception
// pool (73 KiB per module, of which Wine counts the pages touched, 4 to
// 16 KiB) is freed on unload, and 1,000 rounds grow by less than 20 KiB. A
// few pages plus 1 KiB per round let a block of a few hundred bytes a round
// pass, but not the pool of one module.
TEST_F(Soak, LoadUnloadRoundsGiveBackWhatTheyTake) {
    Series series{"rounds of load, task 1, task 0, unload", 2, 64 * 1024 + 1024 * Scaled(100)};
    for (size_t i = 1; i <= Scaled(100); ++i) {
        {
            HostSession session;
            session.Send(kList);
            session.Send(kStop);
        }
        if (i % 25 == 0 || i == 10) series.Sample(i);
    }
}

TEST_F(Soak, FourThreadsThroughOneLoadAnswerAsOneDoes) {
    HostSession session;
    const std::wstring reference = session.Send(kList);
    ASSERT_NE(std::wstring::npos, reference.find(L"Chess.exe")) << reference;
    const ULONGLONG until = GetTickCount64() + Scaled(10) * 1000;
    Answers answers;
    answers.FromThreads(session, reference, 4, true, [&](size_t) { return GetTickCount64() < until; });
    std::printf("%zu calls of each task on 4 threads in %zu s\n", answers.calls.load(), Scaled(10));
    EXPECT_GT(answers.calls, 0u);
    EXPECT_EQ(0u, answers.differing);
}

// A thread's exception state lives as long as the thread: a host whose
// threads come and go sees nothing grow. Without the exception key the
// filter's registry read throws on every thread.
TEST_F(Soak, ShortLivedThreadsThatThrowLeaveNothingBehind) {
    ExceptionFoldersScope noExceptionKey;
    HostSession session;
    const std::wstring reference = session.Send(kList);
    ASSERT_NE(std::wstring::npos, reference.find(L"Chess.exe")) << reference;
    Series series{"short-lived threads", 2, 32 * 1024};
    Answers answers;
    for (size_t done = 4; done <= Scaled(1000); done += 4) {
        answers.FromThreads(session, reference, 4, false, [](size_t calls) { return calls < 1; });
        if (done % 500 == 0 || done == 200) series.Sample(done);
    }
    EXPECT_EQ(0u, answers.differing) << "of " << answers.calls;
}

// Concurrent callers and bad arguments.
#include "QuennetFixture.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace QuennetTests {
namespace {

using QuennetConcurrency = QuennetFixture;
using QuennetBadInput = QuennetFixture;

TEST_F(QuennetConcurrency, WritersNeverMixLinesAndLoseNone) {
    constexpr int Threads = 8;
    constexpr int PerThread = 500;
    Start(temp.Path());
    std::atomic<bool> go{false};
    std::atomic<int> failures{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < Threads; ++t) {
        writers.emplace_back([&, t] {
            while (!go) std::this_thread::yield();
            for (int i = 0; i < PerThread; ++i) {
                // Long enough that a torn write would show.
                std::wstring text = std::to_wstring(t) + L" " + std::to_wstring(i) + L" " + std::wstring(300, L'a' + t);
                if (Write(L"Tavrel", text) != 0) ++failures;
            }
        });
    }
    go = true;
    for (std::thread& writer : writers) writer.join();
    EXPECT_EQ(failures, 0);

    std::vector<std::string> lines = Lines(temp / L"Tavrel.log");
    ASSERT_EQ(lines.size(), size_t{Threads * PerThread});
    int next[Threads] = {};
    unsigned long threadIds[Threads] = {};
    for (const std::string& line : lines) {
        ParsedLine parsed;
        ASSERT_TRUE(ParseLine(line, parsed)) << line.substr(0, 120);
        int t = -1, i = -1;
        ASSERT_EQ(sscanf(parsed.text.c_str(), "%d %d", &t, &i), 2);
        ASSERT_TRUE(t >= 0 && t < Threads);
        // Each writer's lines appear whole, in its own order, under its own thread id.
        ASSERT_EQ(i, next[t]++);
        EXPECT_EQ(parsed.text, std::to_string(t) + " " + std::to_string(i) + " " + std::string(300, 'a' + t));
        if (threadIds[t] == 0) threadIds[t] = parsed.threadId;
        EXPECT_EQ(parsed.threadId, threadIds[t]);
    }
}

TEST_F(QuennetConcurrency, SimultaneousConstructionStartsOnce) {
    std::atomic<bool> go{false};
    std::atomic<int> started{0}, alreadyRunning{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 8; ++t) {
        callers.emplace_back([&] {
            while (!go) std::this_thread::yield();
            int32_t status = construct(temp.Path().c_str());
            ++(status == 0 ? started : status == 1 ? alreadyRunning : started);
        });
    }
    go = true;
    for (std::thread& caller : callers) caller.join();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(alreadyRunning, 7);
    EXPECT_NE(defaultHandle(), nullptr);
}

TEST_F(QuennetBadInput, AnsweredWithNegativeStatusAndNothingWritten) {
    QuennetHandle handle = Start(temp.Path());
    EXPECT_LT(flush(handle, nullptr, 2, L"test.cpp", 1, L"x", 2), 0);
    EXPECT_LT(flush(handle, L"", 2, L"test.cpp", 1, L"x", 2), 0);
    EXPECT_LT(flush(handle, L"Tavrel", 2, L"test.cpp", 1, nullptr, 2), 0);
    EXPECT_EQ(logLevel(handle, nullptr), 0u);

    // Never dereferenced: only the running service's handle is accepted.
    int notAService = 5;
    for (QuennetHandle garbage : {reinterpret_cast<QuennetHandle>(1), reinterpret_cast<QuennetHandle>(~uintptr_t{0}),
                                  static_cast<QuennetHandle>(&notAService)}) {
        EXPECT_EQ(logLevel(garbage, L"Tavrel"), 0u);
        EXPECT_LT(flush(garbage, L"Tavrel", 2, L"test.cpp", 1, L"x", 2), 0);
    }
    EXPECT_TRUE(FileNames(temp.Path()).empty());
}

}  // namespace
}  // namespace QuennetTests

// The runtime's exception state as this program keeps it (linked with the
// DLLs' accessors): the runtime must find in it what it put there.
#include <gtest/gtest.h>

#include <atomic>
#include <exception>
#include <thread>
#include <vector>

#include "Tavrel/Runtime/ExceptionState.h"

using Tavrel::Runtime::ExceptionState;
using Tavrel::Runtime::ThisThreadsExceptionState;

namespace {

int RethrownValue() {
    try {
        std::rethrow_exception(std::current_exception());
    } catch (int value) {
        return value;
    }
}

}  // namespace

// The count of uncaught exceptions and the caught-exception stack sit where
// the runtime reads and writes them: a layout that differs shows here.
TEST(ExceptionState, HoldsWhatTheRuntimeCountsAndCatches) {
    ExceptionState* const state = ThisThreadsExceptionState();
    ASSERT_EQ(nullptr, state->caughtExceptions);
    ASSERT_EQ(0u, state->uncaughtExceptions);

    unsigned recordedWhileUnwinding = 0;
    int reportedWhileUnwinding = 0;
    struct Observer {
        unsigned& recorded;
        int& reported;
        ~Observer() {
            recorded = ThisThreadsExceptionState()->uncaughtExceptions;
            reported = std::uncaught_exceptions();
        }
    };
    try {
        Observer observer{recordedWhileUnwinding, reportedWhileUnwinding};
        throw 1;
    } catch (int) {
        void* const outer = state->caughtExceptions;
        EXPECT_NE(nullptr, outer);
        EXPECT_EQ(0u, state->uncaughtExceptions);
        try {
            throw 2;
        } catch (int) {
            EXPECT_NE(outer, state->caughtExceptions);
            EXPECT_EQ(2, RethrownValue());
        }
        EXPECT_EQ(outer, state->caughtExceptions);
        EXPECT_EQ(1, RethrownValue());
    }
    EXPECT_EQ(1u, recordedWhileUnwinding);
    EXPECT_EQ(1, reportedWhileUnwinding);
    EXPECT_EQ(nullptr, state->caughtExceptions);
    EXPECT_EQ(0u, state->uncaughtExceptions);
}

// Threads that throw and catch at the same time never see one another's
// exceptions: each has a record of its own, zeroed when it starts.
TEST(ExceptionState, EveryThreadHasARecordOfItsOwn) {
    constexpr int kThreads = 8;
    std::atomic<int> ready{0}, mixedUp{0};
    std::vector<ExceptionState*> records(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            records[t] = ThisThreadsExceptionState();
            if (records[t]->caughtExceptions != nullptr || records[t]->uncaughtExceptions != 0) ++mixedUp;
            for (++ready; ready < kThreads;) std::this_thread::yield();
            for (int i = 0; i < 20000; ++i) {
                try {
                    throw t * 100000 + i;
                } catch (int) {
                    std::this_thread::yield();
                    if (RethrownValue() != t * 100000 + i) ++mixedUp;
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(0, mixedUp);
    for (int t = 1; t < kThreads; ++t) EXPECT_NE(records[0], records[t]) << t;
}

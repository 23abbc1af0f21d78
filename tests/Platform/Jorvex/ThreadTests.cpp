// Many threads using the library at once: a smoke test for the locking.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "JorvexTestSupport.h"

using namespace JorvexTest;

TEST(JorvexThreads, ConcurrentCreatePutShareAndDestroy) {
    constexpr int kThreads = 8;
    constexpr uint32_t kRounds = 300;
    const uint32_t liveBefore = VESK_PA_JsonValue_GetLiveHandleCount();
    OwnedJson common = OwnedJson::Create(L"{}");
    std::atomic<int> failures{0};

    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Each thread owns its own share of the common tree.
            OwnedJson mine;
            if (VESK_PA_JsonValue_ShareJsonHandle(common.get(), mine.put()) != JORVEX_OK) {
                ++failures;
                return;
            }
            const std::wstring name = L"t" + std::to_wstring(t);
            for (uint32_t i = 0; i < kRounds; ++i) {
                OwnedJson own = OwnedJson::Create(L"{\"n\":[1,2,3]}");
                OwnedJson shared;
                bool ok = VESK_PA_JsonValue_ShareJsonHandle(Key(own.get(), L"n"), shared.put()) == JORVEX_OK &&
                          VESK_PA_JsonValue_PutUInt(Index(shared.get(), 3), i) == JORVEX_OK &&
                          Text(own.get()) == L"{\"n\":[1,2,3," + std::to_wstring(i) + L"]}";
                own.reset();
                ok = ok && VESK_PA_JsonValue_GetSize(shared.get()) == 4 &&
                     VESK_PA_JsonValue_PutJsonHandle(Index(Key(mine.get(), name.c_str()), i), shared.get()) ==
                         JORVEX_OK;
                if (!ok) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(0, failures.load());
    for (int t = 0; t < kThreads; ++t) {
        const std::wstring name = L"t" + std::to_wstring(t);
        EXPECT_EQ(kRounds, VESK_PA_JsonValue_GetSize(Key(common.get(), name.c_str())));
        EXPECT_EQ(L"[1,2,3,17]", Text(Index(Key(common.get(), name.c_str()), 17)));
    }
    EXPECT_EQ(liveBefore + 1, VESK_PA_JsonValue_GetLiveHandleCount());
}

// The export must not let a C++ exception reach the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "Common/BxCommon/BxComn_StorageException.h"
#include "FakeJorvex.h"
#include "FakeQuennet.h"
#include "Tavrel/Plugin/TavrelInterface.h"

// This program's allocations, with a switch that makes the next ones fail.
// GCC cannot see that new and delete below are a pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<int> g_failingAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    if (g_failingAllocations > 0) {
        --g_failingAllocations;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

TEST(ExceptionBoundary, ExceptionFromTheCallIsLoggedOnceAndSuccessIsReturned) {
    FakeJorvex::Reset();
    FakeJorvex::ThrowOnKey(L"TaskID");
    FakeQuennet::Reset(0x1234, 2);
    JsonHandle request = FakeJorvex::MakeHandle(1);
    JsonHandle response = FakeJorvex::MakeHandle(2);

    EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(&request, &response));

    EXPECT_EQ((std::vector<std::wstring>{L"==> Interface_FastCall_CallFunc",
                                         L"Interface_FastCall_CallFunc() caught an exception: injected failure",
                                         L"<== Interface_FastCall_CallFunc"}),
              FakeQuennet::Texts());
    EXPECT_EQ(5u, FakeQuennet::Messages()[1].level);
    // Unwinding released both shared handles, and nothing was written back.
    auto owned = FakeJorvex::OwnedIds();
    auto destroyed = FakeJorvex::DestroyedIds();
    std::sort(owned.begin(), owned.end());
    std::sort(destroyed.begin(), destroyed.end());
    EXPECT_EQ(owned, destroyed);
    EXPECT_EQ(2u, owned.size());
    for (const auto& call : FakeJorvex::Calls()) EXPECT_NE(0u, call.function.find("Put")) << call.function;
}

// The common library throws heap objects; the boundary owns what it catches.
TEST(ExceptionBoundary, AThrownCommonLibraryExceptionIsLoggedAndDeleted) {
    static int deleted = 0;
    struct CountedFailure : BxCommon::Storage::Exception {
        CountedFailure() : Exception(ERROR_ACCESS_DENIED, 1, "Storage.cpp") {}
        ~CountedFailure() override { ++deleted; }
    };
    FakeJorvex::Reset();
    FakeJorvex::ThrowOnKey(L"TaskID", [] { throw new CountedFailure(); });
    FakeQuennet::Reset(0x1234, 2);
    JsonHandle request = FakeJorvex::MakeHandle(1);
    JsonHandle response = FakeJorvex::MakeHandle(2);

    EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(&request, &response));

    EXPECT_EQ((std::vector<std::wstring>{L"==> Interface_FastCall_CallFunc",
                                         L"Interface_FastCall_CallFunc() caught an exception: storage error 0x5",
                                         L"<== Interface_FastCall_CallFunc"}),
              FakeQuennet::Texts());
    EXPECT_EQ(1, deleted);
}

TEST(ExceptionBoundary, AFailedShareIsNotReleased) {
    FakeJorvex::Reset();
    FakeQuennet::Reset(0, 0);
    FakeJorvex::FailNext("Share", -1);  // the request's share
    JsonHandle request = FakeJorvex::MakeHandle(1);
    JsonHandle response = FakeJorvex::MakeHandle(2);
    EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(&request, &response));
    auto owned = FakeJorvex::OwnedIds();
    auto destroyed = FakeJorvex::DestroyedIds();
    std::sort(owned.begin(), owned.end());
    std::sort(destroyed.begin(), destroyed.end());
    EXPECT_EQ(owned, destroyed);
    EXPECT_EQ(static_cast<size_t>(FakeJorvex::CountOf("Share")), owned.size() + 1);
}

// The entry line cannot be written for want of memory: the line is lost, the
// task is not.
TEST(ExceptionBoundary, ATraceLineWithoutMemoryIsDroppedAndTheTaskStillRuns) {
    FakeJorvex::Reset();
    FakeJorvex::SetUInt(L"TaskID", 7);
    FakeQuennet::Reset(0x1234, 2);
    JsonHandle request = FakeJorvex::MakeHandle(1);
    JsonHandle response = FakeJorvex::MakeHandle(2);

    g_failingAllocations = 1;
    EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(&request, &response));
    g_failingAllocations = 0;

    EXPECT_EQ(
        (std::vector<std::wstring>{L"dwTaskId = 0x7", L"Invalid Task ID:0x7", L"<== Interface_FastCall_CallFunc"}),
        FakeQuennet::Texts());
}

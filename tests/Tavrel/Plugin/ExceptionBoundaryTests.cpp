// The export must not let a C++ exception reach the host.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "Common/BxCommon/BxComn_StorageException.h"
#include "FakeQuennet.h"
#include "JorvexWatch.h"
#include "Tavrel/Plugin/TavrelInterface.h"
#include "tavrel-host/OwnedJson.h"

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

// One call through the export with the real JSON library: every handle the
// call made is gone afterwards, none was released twice, and the response
// is as it came.
class ExceptionBoundary : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(liveBefore_, VESK_PA_JsonValue_GetLiveHandleCount());
        EXPECT_EQ(0, library_.RefusedReleases());
        EXPECT_EQ(L"{\"kept\":1}", response_.ToText());
    }

    std::vector<std::wstring> Call(uint32_t configuredLevel = 2) {
        FakeQuennet::Reset(0x1234, configuredLevel);
        EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(request_.Get(), response_.Get()));
        return FakeQuennet::Texts();
    }

    TavrelHost::OwnedJson request_{L"{\"TaskID\":7}"};
    TavrelHost::OwnedJson response_{L"{\"kept\":1}"};
    const uint32_t liveBefore_ = VESK_PA_JsonValue_GetLiveHandleCount();
    TestSupport::JorvexWatch library_;
};

TEST_F(ExceptionBoundary, ExceptionFromTheCallIsLoggedOnceAtLevelFive) {
    library_.ThrowOnKey(L"TaskID", [] { throw std::runtime_error("injected failure"); });
    EXPECT_EQ((std::vector<std::wstring>{L"==> Interface_FastCall_CallFunc",
                                         L"Interface_FastCall_CallFunc() caught an exception: injected failure",
                                         L"<== Interface_FastCall_CallFunc"}),
              Call());
    EXPECT_EQ(5u, FakeQuennet::Messages()[1].level);
}

// The common library throws heap objects; the boundary owns what it catches.
TEST_F(ExceptionBoundary, AThrownCommonLibraryExceptionIsLoggedAndDeleted) {
    static int deleted = 0;
    struct CountedFailure : BxCommon::Storage::Exception {
        CountedFailure() : Exception(ERROR_ACCESS_DENIED, 1, "Storage.cpp") {}
        ~CountedFailure() override { ++deleted; }
    };
    library_.ThrowOnKey(L"TaskID", [] { throw new CountedFailure(); });
    EXPECT_EQ(L"Interface_FastCall_CallFunc() caught an exception: storage error 0x5", Call().at(1));
    EXPECT_EQ(1, deleted);
}

// The entry line cannot be written for want of memory: the line is lost, the
// task is not.
TEST_F(ExceptionBoundary, ATraceLineWithoutMemoryIsDroppedAndTheTaskStillRuns) {
    g_failingAllocations = 1;
    const std::vector<std::wstring> texts = Call();
    g_failingAllocations = 0;
    EXPECT_EQ(
        (std::vector<std::wstring>{L"dwTaskId = 0x7", L"Invalid Task ID:0x7", L"<== Interface_FastCall_CallFunc"}),
        texts);
}

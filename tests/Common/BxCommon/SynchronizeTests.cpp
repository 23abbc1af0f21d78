#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "Common/BxCommon/BxComn_Synchronize.h"

using namespace BxCommon::Synchronize;

namespace {

// Takes and leaves the section on another thread; a section still held here
// would block it (and the test would time out).
void LockElsewhere(CriticalSection& section) {
    std::thread other([&] { SingleLock lock(&section); });
    other.join();
}

}  // namespace

TEST(SingleLock, NullObjectDoesNothing) { SingleLock lock(nullptr); }

TEST(SingleLock, LockIsReleasedWhenAnExceptionLeavesTheScope) {
    CriticalSection section;
    try {
        SingleLock lock(&section);
        throw std::runtime_error("leaving");
    } catch (const std::runtime_error&) {
    }
    LockElsewhere(section);
}

TEST(CriticalSection, TheHoldingThreadMayEnterAgainAndMustLeaveAsOften) {
    CriticalSection section;
    {
        SingleLock outer(&section);
        SingleLock inner(&section);
    }
    LockElsewhere(section);
}

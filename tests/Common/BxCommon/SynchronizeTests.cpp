#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "Common/BxCommon/BxComn_Synchronize.h"

using namespace BxCommon::Synchronize;

// The holding thread may enter again and must leave as often, and an
// exception leaving the scope releases the lock: a section still held here
// would block the other thread, and the test would time out.
TEST(SingleLock, ReleasesWhatItTookOnEveryWayOutOfItsScope) {
    CriticalSection section;
    try {
        SingleLock outer(&section);
        SingleLock inner(&section);
        SingleLock none(nullptr);
        throw std::runtime_error("leaving");
    } catch (const std::runtime_error&) {
    }
    std::thread([&] { SingleLock lock(&section); }).join();
}

#include "Tavrel/Runtime/RuntimeRelease.h"

// Defined in the statically linked C++ runtime (libstdc++.a), declared in
// none of its headers: frees the 73 KiB emergency pool that exceptions fall
// back on when malloc fails. The runtime takes that pool with malloc when the
// module starts and never frees it, so without this every load/unload round
// would leave it behind. The pool's free list still points into the freed
// block afterwards, so nothing may throw once it has run.
namespace __gnu_cxx {
void __freeres() noexcept;
}

namespace {

bool volatile g_unloadedByFreeLibrary = false;

// Constructed before every other static object of the module (priority 101
// is the first a program may use), so destroyed after all of them: the
// pool is freed only when no destructor of the module can throw any more.
struct ReleaseRuntimeLast {
    ~ReleaseRuntimeLast() {
        if (g_unloadedByFreeLibrary) __gnu_cxx::__freeres();
    }
};
__attribute__((init_priority(101))) ReleaseRuntimeLast g_releaseRuntimeLast;

}  // namespace

void Tavrel::Runtime::NoteProcessDetach(const void* reserved) noexcept { g_unloadedByFreeLibrary = reserved == nullptr; }

// Each thread's C++ exception state (the caught-exception stack and the
// uncaught count) for this module, kept in a Windows TLS slot of its own.
//
// The C++ runtime keeps that state in emulated thread-local storage, which
// the statically linked threads library backs with a per-thread record
// holding a duplicate of the thread's handle and an event. The record is
// made the first time a thread throws and belongs to the thread, not to the
// module: a host that loads the plug-in, lists the applications (the
// registry storage throws) and unloads it again lost two handles and a few
// kilobytes every time. Defining the runtime's two accessors here keeps the
// state in blocks this module owns and frees them all when it is unloaded.
#include <windows.h>

#include <cstdlib>

namespace {

// The runtime's per-thread record, as the C++ ABI lays it out.
struct ExceptionGlobals {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};

// Every block handed out, so that unloading frees them all; pushed without
// a lock, freed once no thread can use the module any more.
struct Block {
    ExceptionGlobals globals;
    Block* next;
};

// Constant-initialised, so usable before any constructor of this module has
// run; TLS_OUT_OF_INDEXES until the first use and again after unloading.
DWORD volatile g_slot = TLS_OUT_OF_INDEXES;
Block* volatile g_blocks = nullptr;
// Where a throw lands when no slot can be had (none left, or the module is
// being unloaded): shared, but such a throw is the last thing that happens.
ExceptionGlobals g_fallback = {};
bool volatile g_unloaded = false;

DWORD Slot() {
    DWORD slot = g_slot;
    if (slot != TLS_OUT_OF_INDEXES || g_unloaded) return slot;
    const DWORD fresh = TlsAlloc();
    if (fresh == TLS_OUT_OF_INDEXES) return fresh;
    slot = InterlockedCompareExchange(reinterpret_cast<LONG volatile*>(&g_slot), static_cast<LONG>(fresh),
                                      static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (slot == TLS_OUT_OF_INDEXES) return fresh;
    TlsFree(fresh);  // another thread was first
    return slot;
}

ExceptionGlobals* ThisThreadsGlobals() {
    const DWORD slot = Slot();
    if (slot == TLS_OUT_OF_INDEXES) return &g_fallback;
    const DWORD lastError = GetLastError();  // TlsGetValue clears it; a throw must not
    auto* block = static_cast<Block*>(TlsGetValue(slot));
    if (block == nullptr) {
        block = static_cast<Block*>(std::calloc(1, sizeof(Block)));
        if (block == nullptr || !TlsSetValue(slot, block)) {
            std::free(block);
            SetLastError(lastError);
            return &g_fallback;
        }
        Block* head;
        do {
            head = g_blocks;
            block->next = head;
        } while (InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&g_blocks), block, head) != head);
    }
    SetLastError(lastError);
    return &block->globals;
}

// Destroyed when the runtime shuts the module down, after the load handler.
struct ReleaseOnUnload {
    ~ReleaseOnUnload() {
        g_unloaded = true;
        const DWORD slot = g_slot;
        g_slot = TLS_OUT_OF_INDEXES;
        if (slot != TLS_OUT_OF_INDEXES) TlsFree(slot);
        for (Block* block = g_blocks; block != nullptr;) {
            Block* next = block->next;
            std::free(block);
            block = next;
        }
        g_blocks = nullptr;
    }
} g_releaseOnUnload;

}  // namespace

extern "C" ExceptionGlobals* __cxa_get_globals() noexcept { return ThisThreadsGlobals(); }
extern "C" ExceptionGlobals* __cxa_get_globals_fast() noexcept { return ThisThreadsGlobals(); }

// Each thread's C++ exception state (the caught-exception stack and the
// uncaught count), kept in the module's own static TLS block.
//
// The runtime keeps that state in emulated thread-local storage, which the
// statically linked threads library backs with a per-thread record holding a
// duplicate of the thread's handle and an event. The record is made the first
// time a thread throws and belongs to the thread, not to the module: a host
// that loaded the plug-in, listed the applications (the registry storage
// throws) and unloaded it again lost two handles and a few kilobytes each
// time. Defining the runtime's two accessors here moves the state into the
// static TLS block of the module's TLS directory (which every mingw DLL has
// anyway). The loader makes that block for every thread, including those
// already running when the module is loaded, and frees it when the thread
// ends; loading the module again replaces it. So nothing here allocates,
// nothing can fail once the module is loaded, and neither unloading nor a
// host that retires threads leaves anything behind.
#include "Tavrel/Runtime/ExceptionState.h"

#include <windows.h>

#include <cstddef>
#include <cxxabi.h>

#if (__GNUC__ != TAVREL_RUNTIME_HOOKS_GCC || _GLIBCXX_RELEASE != TAVREL_RUNTIME_HOOKS_GCC) && \
    !defined(TAVREL_RUNTIME_HOOKS_UNCHECKED)
#error "The exception-state accessors were not checked against this compiler's runtime (cmake/RuntimeHooks.cmake)."
#endif

using Tavrel::Runtime::ExceptionState;
static_assert(sizeof(ExceptionState) == 16 && alignof(ExceptionState) == 8, "the runtime's record is 16 bytes");
static_assert(offsetof(ExceptionState, uncaughtExceptions) == 8, "the uncaught count follows one pointer");

// Laid down by the mingw runtime (tlssup.c): the module's slot in each
// thread's array of static TLS blocks, written by the loader, and the first
// object of the TLS template, where each thread's block begins.
extern "C" ULONG _tls_index;
extern "C" char* _tls_start;

namespace {

// The template of every thread's record: sorted by the linker between the
// template's start (.tls$AAA) and end (.tls$ZZZ) markers, so that it is part
// of what the loader copies into each thread's block.
__attribute__((section(".tls$TAVREL"))) ExceptionState g_template = {};

}  // namespace

ExceptionState* Tavrel::Runtime::ThisThreadsExceptionState() noexcept {
    // What the compiler emits for __declspec(thread) on x64: the thread's
    // block array is TEB.ThreadLocalStoragePointer (gs:[0x58]); the record
    // sits at the template's offset in this module's block.
    char* const* blocks;
    __asm__("movq %%gs:0x58, %0" : "=r"(blocks));
    const std::ptrdiff_t offset = reinterpret_cast<char*>(&g_template) - reinterpret_cast<char*>(&_tls_start);
    return reinterpret_cast<ExceptionState*>(blocks[_tls_index] + offset);
}

// The runtime's accessors, with the signatures <cxxabi.h> declares: a change
// there fails the build here instead of at run time.
namespace __cxxabiv1 {

extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept {
    return reinterpret_cast<__cxa_eh_globals*>(Tavrel::Runtime::ThisThreadsExceptionState());
}

extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept {
    return reinterpret_cast<__cxa_eh_globals*>(Tavrel::Runtime::ThisThreadsExceptionState());
}

}  // namespace __cxxabiv1

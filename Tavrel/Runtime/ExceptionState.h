// The C++ runtime's per-thread exception state, for each DLL built here: see
// ExceptionState.cpp for why the DLLs keep it themselves.
#pragma once

namespace Tavrel::Runtime {

// One thread's record, laid out as the runtime's own (__cxa_eh_globals of
// libsupc++, x86-64, GCC 12): the innermost caught exception and the number
// of exceptions thrown and not yet caught.
struct ExceptionState {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};

// The calling thread's record: never null, zeroed when the thread starts (or
// when the module is loaded, for the threads already running), freed by the
// system when the thread ends. Allocates nothing and cannot fail.
ExceptionState* ThisThreadsExceptionState() noexcept;

}  // namespace Tavrel::Runtime

# The DLLs replace two accessors of the statically linked C++ runtime and free
# its emergency pool on unload (Tavrel/Runtime). Both depend on the runtime's
# internals, which were checked against GCC 12's libstdc++ only.
option(TAVREL_RUNTIME_HOOKS_UNCHECKED
    "Build with a GCC whose C++ runtime the exception-state hooks were not checked against" OFF)
set(TAVREL_RUNTIME_HOOKS_GCC 12)
string(REGEX MATCH "^[0-9]+" tavrel_gcc_major "${CMAKE_CXX_COMPILER_VERSION}")
if(NOT tavrel_gcc_major STREQUAL TAVREL_RUNTIME_HOOKS_GCC AND NOT TAVREL_RUNTIME_HOOKS_UNCHECKED)
    message(FATAL_ERROR
        "GCC ${CMAKE_CXX_COMPILER_VERSION}: the DLLs keep the C++ runtime's per-thread exception state "
        "themselves (Tavrel/Runtime), laid out as GCC ${TAVREL_RUNTIME_HOOKS_GCC}'s libstdc++ lays it out. "
        "Check that layout, __cxa_get_globals and __gnu_cxx::__freeres against this compiler's runtime, "
        "then configure with -DTAVREL_RUNTIME_HOOKS_UNCHECKED=ON (and update TAVREL_RUNTIME_HOOKS_GCC).")
endif()

// The version query and the two lifecycle calls. The module keeps no state,
// so initialising and shutting down only trace.
#include "Tavrel/Log/ScopeTrace.h"
#include "Tavrel/Plugin/TavrelInterface.h"

extern "C" DWORD WINAPI Interface_FastCall_Versioning(DWORD* version) {
    *version = Tavrel::kInterfaceVersion;
    return Tavrel::kStatusSuccess;
}

extern "C" DWORD WINAPI Interface_FastCall_Initialize() {
    try {
        TAVREL_SCOPE_TRACE(L"Interface_FastCall_Initialize");
    } catch (...) {
        // Out of memory for the trace: nothing else was to be done.
    }
    return Tavrel::kStatusSuccess;
}

extern "C" DWORD WINAPI Interface_FastCall_Uninitialize() {
    try {
        TAVREL_SCOPE_TRACE(L"Interface_FastCall_Uninitialize");
    } catch (...) {
    }
    return Tavrel::kStatusSuccess;
}

// The version query and the two lifecycle calls. The module keeps no state,
// so initialising and shutting down only trace (a trace never throws).
#include "Tavrel/Log/ScopeTrace.h"
#include "Tavrel/Plugin/TavrelInterface.h"

extern "C" DWORD WINAPI Interface_FastCall_Versioning(DWORD* version) {
    *version = Tavrel::kInterfaceVersion;
    return Tavrel::kStatusSuccess;
}

extern "C" DWORD WINAPI Interface_FastCall_Initialize() {
    TAVREL_SCOPE_TRACE(L"Interface_FastCall_Initialize");
    return Tavrel::kStatusSuccess;
}

extern "C" DWORD WINAPI Interface_FastCall_Uninitialize() {
    TAVREL_SCOPE_TRACE(L"Interface_FastCall_Uninitialize");
    return Tavrel::kStatusSuccess;
}

// The four functions through which a host drives the plug-in. Every one
// returns kStatusSuccess.
#pragma once

#include <windows.h>

#include "Platform/Jorvex/include/Jorvex/JsonValue.h"

namespace Tavrel {
inline constexpr DWORD kStatusSuccess = 0x20ff0000;
inline constexpr DWORD kInterfaceVersion = 0x00010001;
}  // namespace Tavrel

extern "C" {
// Writes the interface version to *version (which must be writable).
DWORD WINAPI Interface_FastCall_Versioning(DWORD* version);
DWORD WINAPI Interface_FastCall_Initialize();
DWORD WINAPI Interface_FastCall_Uninitialize();
// Runs the task that *request names; task 1 answers in *response. Both must
// point to live handles, which stay the host's.
DWORD WINAPI Interface_FastCall_CallFunc(JsonHandle* request, JsonHandle* response);
}

using PFN_Interface_FastCall_Versioning = DWORD(WINAPI*)(DWORD*);
using PFN_Interface_FastCall_Initialize = DWORD(WINAPI*)();
using PFN_Interface_FastCall_Uninitialize = DWORD(WINAPI*)();
using PFN_Interface_FastCall_CallFunc = DWORD(WINAPI*)(JsonHandle*, JsonHandle*);

// The load handler of Jorvex.dll (the Windows build only).
#include <windows.h>

#include "Tavrel/Runtime/RuntimeRelease.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH) Tavrel::Runtime::NoteProcessDetach(reserved);
    return TRUE;
}

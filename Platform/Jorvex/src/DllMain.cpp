// The load handler of Jorvex.dll (the Windows build only).
#include <windows.h>

// In the statically linked C++ runtime, declared in none of its headers:
// frees its emergency exception pool (73 KiB, taken with malloc when the
// module starts and otherwise never freed).
namespace __gnu_cxx {
void __freeres() noexcept;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // FreeLibrary (reserved null), not process exit.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
    return TRUE;
}

// The load handler: starts the logging service beside the installation
// folder. Loading never fails on the module's account.
#include <windows.h>

#include "Common/FrwkCommon/Frwk_Utility.h"
#include "Tavrel/Log/LogGate.h"
#include "Tavrel/Plugin/LogFolder.h"

// Defined in the statically linked C++ runtime (libstdc++.a), declared in
// none of its headers: frees what the runtime keeps for the life of the
// module, above all the 73 KiB emergency pool that exceptions fall back on
// when malloc fails. The runtime allocates that pool with malloc when the
// module starts and never frees it, so without this every load/unload round
// of the module would leave 73 KiB of committed heap behind.
namespace __gnu_cxx {
void __freeres() noexcept;
}

namespace {

void OnProcessAttach(HINSTANCE instance) {
    DisableThreadLibraryCalls(instance);
    std::wstring logFolder = Tavrel::BuildLogFolderPath(Frwk::Utility::GetInstalledFolder());
    Log_ConstructServer(logFolder.c_str());
    TAVREL_LOG(2, L"Log Module initialized!");
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        // No exception may unwind into the loader; without a log the module
        // still works.
        try {
            OnProcessAttach(instance);
        } catch (...) {
        }
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // FreeLibrary only: at process exit the other threads were stopped
        // wherever they were, maybe inside the heap. Nothing of the module
        // throws after this (its static destructors, which run next, do not).
        __gnu_cxx::__freeres();
    }
    return TRUE;
}

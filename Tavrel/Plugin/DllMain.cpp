// The load handler: starts the logging service beside the installation
// folder. Loading never fails on the module's account.
#include <windows.h>

#include "Common/FrwkCommon/Frwk_Utility.h"
#include "Tavrel/Log/LogGate.h"
#include "Tavrel/Plugin/LogFolder.h"
#include "Tavrel/Runtime/RuntimeRelease.h"

namespace {

void OnProcessAttach(HINSTANCE instance) {
    // Refused for a module with a static TLS block, which every mingw DLL
    // has (this one keeps the runtime's exception state there): thread
    // notifications keep coming, and the handler ignores them. Nothing
    // relies on them, so the result only matters to a debugger.
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
    } else if (reason == DLL_PROCESS_DETACH) {
        Tavrel::Runtime::NoteProcessDetach(reserved);
    }
    return TRUE;
}

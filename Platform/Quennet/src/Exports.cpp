// The library's exports: each catches everything, since the callers are C
// and an exception crossing into them would end the host process.
#include <Quennet/Log.h>

#include "Server.h"
#include "Status.h"
#include "Tavrel/Runtime/RuntimeRelease.h"

#include <windows.h>

#include <new>

using namespace Quennet;

int32_t QUENNET_CALL Log_ConstructServer(const wchar_t* folder) try {
    return StartServer(folder);
} catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
} catch (...) {
    return Status::Internal;
}

QuennetHandle QUENNET_CALL Log_GetDefaultHandle(void) { return RunningServer(); }

uint32_t QUENNET_CALL Log_GetLogLevel(QuennetHandle handle, const wchar_t* module) {
    // Lock-free and allocation-free: it runs before every message, logged or not.
    const Server* server = ServerFromHandle(handle);
    if (server == nullptr || module == nullptr) return 0;
    return server->LevelOf(module);
}

int32_t QUENNET_CALL Log_Flush(QuennetHandle handle, const wchar_t* module, uint32_t level, const wchar_t* sourceFile,
                               uint32_t line, const wchar_t* text, uint32_t byteCount) try {
    Server* server = ServerFromHandle(handle);
    if (server == nullptr) return Status::NotRunning;
    if (module == nullptr || *module == L'\0') return Status::InvalidArgument;
    if (text == nullptr && byteCount != 0) return Status::InvalidArgument;
    // A trailing odd byte is half a code unit: dropped.
    return server->Write(module, level, sourceFile, line, text, byteCount / 2);
} catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
} catch (...) {
    return Status::Internal;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // FreeLibrary (reserved null) closes the files. At process exit other
    // threads were stopped wherever they were, maybe inside the sink's lock:
    // the system closes the handles, and nothing here may wait.
    if (reason == DLL_PROCESS_DETACH) {
        if (reserved == nullptr) StopServer();
        Tavrel::Runtime::NoteProcessDetach(reserved);
    }
    return TRUE;
}

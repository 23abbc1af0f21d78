// The one logging service of the process. Its address is the handle that
// Log_GetDefaultHandle gives out.
#pragma once

#include "FileSink.h"
#include "Settings.h"

#include <stdint.h>

#include <string>

namespace Quennet {

class Server {
public:
    Server(std::wstring folder, LevelTable levels);
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    uint32_t LevelOf(const wchar_t* module) const noexcept { return levels_.LevelOf(module); }

    // Formats and appends one message to the module's file; a Status value.
    // `module` is neither null nor empty; `text` holds `units` UTF-16 units.
    int32_t Write(const wchar_t* module, uint32_t level, const wchar_t* sourceFile, uint32_t sourceLine,
                  const wchar_t* text, size_t units);

private:
    const std::wstring folder_;
    const LevelTable levels_;
    FileSink sink_;
};

// Starts the service on `folder`: Status::Ok, Status::AlreadyRunning (nothing
// changes) or a negative Status, after which no service runs. Concurrent
// callers are serialised; exactly one of them can start it.
int32_t StartServer(const wchar_t* folder);

// The running service when `handle` is its handle, otherwise null. Only
// compares the value, so garbage handles are never dereferenced.
Server* ServerFromHandle(const void* handle) noexcept;

// The running service or null.
Server* RunningServer() noexcept;

// Stops the service and closes its files. For unloading only: no other
// thread may be inside the library at the time.
void StopServer() noexcept;

}  // namespace Quennet

#include "Server.h"

#include "Folder.h"
#include "LineFormat.h"
#include "Status.h"
#include "Win32Owners.h"

#include <atomic>
#include <memory>

namespace Quennet {
namespace {

// Both are constant-initialised and need no destructor, so nothing runs for
// them at load or unload time.
SRWLOCK startLock = SRWLOCK_INIT;
std::atomic<Server*> running{nullptr};

}  // namespace

Server::Server(std::wstring folder, LevelTable levels)
    : folder_(std::move(folder)), levels_(std::move(levels)), sink_(folder_) {}

int32_t Server::Write(const wchar_t* module, uint32_t level, const wchar_t* sourceFile, uint32_t sourceLine,
                      const wchar_t* text, size_t units) {
    LineHeader header{};
    GetLocalTime(&header.localTime);
    header.processId = GetCurrentProcessId();
    header.threadId = GetCurrentThreadId();
    header.level = level;
    header.sourceFile = sourceFile;
    header.sourceLine = sourceLine;
    std::string line = FormatLine(header, text, units);
    return sink_.Write(ModuleFileName(module), line) ? Status::Ok : Status::WriteFailed;
}

int32_t StartServer(const wchar_t* folder) {
    ExclusiveLock hold(startLock);
    if (running.load(std::memory_order_acquire) != nullptr) return Status::AlreadyRunning;
    if (folder == nullptr) return Status::InvalidArgument;
    std::wstring full;
    if (!PrepareFolder(folder, full)) return Status::FolderUnusable;
    LevelTable levels = LoadLevels(full);
    auto server = std::make_unique<Server>(std::move(full), std::move(levels));
    // Published only when complete: readers take the table without a lock.
    running.store(server.release(), std::memory_order_release);
    return Status::Ok;
}

Server* ServerFromHandle(const void* handle) noexcept {
    Server* server = running.load(std::memory_order_acquire);
    return server != nullptr && handle == server ? server : nullptr;
}

Server* RunningServer() noexcept { return running.load(std::memory_order_acquire); }

void StopServer() noexcept { std::unique_ptr<Server> server(running.exchange(nullptr, std::memory_order_acq_rel)); }

}  // namespace Quennet

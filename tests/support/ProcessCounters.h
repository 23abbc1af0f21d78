// What this process holds, read the ways that both Windows and Wine answer.
// Wine 8 reports 0 for the handle count, the private bytes and the GUI
// objects whatever the process holds, so leak checks use the handle-table
// rows, the commit charge, the windows owned and the JSON library's live
// handles; the Windows counters are there to be printed beside them.
// Link psapi, ntdll and the JSON library.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

#include "Jorvex/JsonValue.h"

namespace TestSupport {

struct ProcessCounters {
    uint64_t handleRows = 0;    // this process's rows in the system handle table
    uint64_t commitBytes = 0;   // PagefileUsage
    uint64_t windows = 0;       // top-level windows owned by this process
    uint64_t jsonHandles = 0;   // the JSON library's live handles
    uint64_t handleCount = 0;   // GetProcessHandleCount
    uint64_t privateBytes = 0;  // PrivateUsage
    uint64_t guiObjects = 0;    // GetGuiResources, GDI + USER
};

inline ProcessCounters ReadProcessCounters() {
    ProcessCounters counters;
    // The legacy system handle table, whose process ids are 16 bits wide (the
    // other half of mingw's OwnerPid is the creator's back-trace index).
    std::vector<BYTE> table(1 << 16);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemHandleInformation, table.data(), static_cast<ULONG>(table.size()),
                                              nullptr)) == static_cast<NTSTATUS>(0xC0000004)) {  // too small
        table.resize(table.size() * 2);
    }
    const auto* handles = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(table.data());
    for (ULONG i = 0; status >= 0 && i < handles->Count; ++i) {
        counters.handleRows += LOWORD(handles->Handle[i].OwnerPid) == LOWORD(GetCurrentProcessId());
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        counters.commitBytes = memory.PagefileUsage;
        counters.privateBytes = memory.PrivateUsage;
    }
    EnumWindows(
        [](HWND window, LPARAM count) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == GetCurrentProcessId()) ++*reinterpret_cast<uint64_t*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&counters.windows));
    counters.jsonHandles = VESK_PA_JsonValue_GetLiveHandleCount();
    DWORD handleCount = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handleCount)) counters.handleCount = handleCount;
    counters.guiObjects =
        GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) + GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return counters;
}

}  // namespace TestSupport

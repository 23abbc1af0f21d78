#include "ProcessCounters.h"

#include <windows.h>
#include <psapi.h>

#include <vector>

#include "Platform/Jorvex/include/Jorvex/JsonValue.h"

namespace Soak {
namespace {

// NtQuerySystemInformation(SystemHandleInformation): the documented-by-use
// layout of the legacy handle table, with 16-bit process ids.
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectTypeIndex;
    UCHAR attributes;
    USHORT handleValue;
    PVOID object;
    ULONG grantedAccess;
};

struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

using NtQuerySystemInformationFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

uint64_t CountHandleRows() {
    static const auto query = reinterpret_cast<NtQuerySystemInformationFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    std::vector<BYTE> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kStatusInfoLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status < 0) return 0;
        break;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    const auto self = static_cast<USHORT>(GetCurrentProcessId());
    uint64_t rows = 0;
    for (ULONG i = 0; i < table->count; ++i) rows += table->entries[i].processId == self;
    return rows;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) ++*reinterpret_cast<uint64_t*>(count);
    return TRUE;
}

}  // namespace

ProcessCounters ReadProcessCounters() {
    ProcessCounters counters;
    counters.handleRows = CountHandleRows();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        counters.commitBytes = memory.PagefileUsage;
        counters.privateBytes = memory.PrivateUsage;
    }
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&counters.windows));
    counters.jsonHandles = VESK_PA_JsonValue_GetLiveHandleCount();
    DWORD handleCount = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handleCount)) counters.handleCount = handleCount;
    counters.guiObjects =
        GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) + GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return counters;
}

std::wstring Describe(const ProcessCounters& c) {
    return L"handles " + std::to_wstring(c.handleRows) + L" commit " + std::to_wstring(c.commitBytes / 1024) +
           L" KiB windows " + std::to_wstring(c.windows) + L" json " + std::to_wstring(c.jsonHandles) +
           L" | win-handles " + std::to_wstring(c.handleCount) + L" private " + std::to_wstring(c.privateBytes / 1024) +
           L" KiB gui " + std::to_wstring(c.guiObjects);
}

std::wstring Growth(const ProcessCounters& first, const ProcessCounters& last, const GrowthMargin& margin) {
    std::wstring growth;
    auto check = [&](const wchar_t* name, uint64_t from, uint64_t to, uint64_t allowed) {
        if (to > from + allowed) {
            growth += std::wstring(name) + L" grew from " + std::to_wstring(from) + L" to " + std::to_wstring(to) +
                      L" (margin " + std::to_wstring(allowed) + L"); ";
        }
    };
    check(L"handle rows", first.handleRows, last.handleRows, margin.handleRows);
    check(L"commit bytes", first.commitBytes, last.commitBytes, margin.commitBytes);
    check(L"windows", first.windows, last.windows, 0);
    check(L"JSON handles", first.jsonHandles, last.jsonHandles, 0);
    return growth;
}

}  // namespace Soak

// What this process holds, read the ways that both Windows and Wine answer.
// Wine 8 reports 0 for the handle count, the private bytes and the GUI
// objects whatever the process holds, so the growth checks use the handle
// table rows, the commit charge, the windows owned and the JSON library's
// live handles; the Windows counters are printed beside them.
#pragma once

#include <cstdint>
#include <string>

namespace Soak {

struct ProcessCounters {
    // Checked for growth.
    uint64_t handleRows = 0;   // this process's rows in the system handle table
    uint64_t commitBytes = 0;  // PagefileUsage
    uint64_t windows = 0;      // top-level windows owned by this process
    uint64_t jsonHandles = 0;  // the JSON library's live handles
    // Printed only: real on Windows, 0 under Wine.
    uint64_t handleCount = 0;   // GetProcessHandleCount
    uint64_t privateBytes = 0;  // PrivateUsage
    uint64_t guiObjects = 0;    // GetGuiResources, GDI + USER
};

ProcessCounters ReadProcessCounters();

// "handles 123 commit 4567 KiB windows 0 json 0 | win-handles 0 private 0 KiB gui 0"
std::wstring Describe(const ProcessCounters& counters);

// The limits a series may grow by after its warm-up sample.
struct GrowthMargin {
    uint64_t handleRows;
    uint64_t commitBytes;
};

// Empty when `last` stays within `margin` of `first` (windows and JSON
// handles must not grow at all); otherwise what grew, for the report.
std::wstring Growth(const ProcessCounters& first, const ProcessCounters& last, const GrowthMargin& margin);

}  // namespace Soak

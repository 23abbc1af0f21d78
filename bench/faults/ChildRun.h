// Runs one case in a process of its own, so that a crash or a hang in the
// plug-in ends that case only and is reported as what it is.
#pragma once

#include <windows.h>

#include <string>

namespace Faults {

struct ChildResult {
    bool started = false;
    bool timedOut = false;  // killed after the time limit
    DWORD exitCode = 0;     // the exception code when it crashed
    double seconds = 0;
};

// Starts this program with `arguments` (sharing its standard streams) and
// waits for it at most `limitMs`.
ChildResult RunChild(const std::wstring& arguments, DWORD limitMs);

}  // namespace Faults

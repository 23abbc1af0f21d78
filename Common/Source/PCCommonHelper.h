// Stops the applications of a stop list the gentle way: the main window of
// each matching process is asked to close (WM_CLOSE), as if its user had
// closed it. Nothing is killed and nothing waits for the window to go.
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>
#include <string>

// One application to stop: its process id and its executable path as the
// host sent it.
struct PcAppStopItem {
    uint32_t uPid = 0;
    std::wstring tsAppFilePath;
};

using PcAppStopList = std::list<PcAppStopItem>;

class CParentControlProcessHelper {
public:
    CParentControlProcessHelper();
    ~CParentControlProcessHelper();
    CParentControlProcessHelper(const CParentControlProcessHelper&) = delete;
    CParentControlProcessHelper& operator=(const CParentControlProcessHelper&) = delete;

    // For each item in order: when the process's lower-cased executable path
    // occurs in tsAppFilePath (case-sensitively, anywhere), or when the path
    // cannot be read at all (the process cannot be opened, or the query of
    // its path fails), posts WM_CLOSE to its window (GetWindowHandleByPID).
    // A path that can be read and does not occur is logged and skipped.
    // Always true.
    bool CloseProcessInList(const PcAppStopList& list);

    // The topmost top-level window in Z order that belongs to `pid`, is
    // visible and has no parent or owner (GetParent null); null if none.
    HWND GetWindowHandleByPID(uint32_t pid);
};

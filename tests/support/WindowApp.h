// A running window-app process (tests/apps/WindowApp.cpp) with the windows a
// test asks for, killed if the test leaves it running.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "TempFolder.h"

namespace TestSupport {

class WindowApp {
public:
    // `windows`: the window options of its command line, e.g. L"--top 2".
    // With `copyAt`, a copy of window-app.exe placed there runs instead.
    explicit WindowApp(const std::wstring& windows, const std::wstring& copyAt = {}, DWORD creationFlags = 0);
    ~WindowApp();
    WindowApp(const WindowApp&) = delete;
    WindowApp& operator=(const WindowApp&) = delete;

    // True once the app has opened and shown its windows (bounded wait).
    bool WaitUntilReady() const;
    // The exit status, or nothing if it is still running at the deadline.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // What the app recorded once its windows were up: "WM_CLOSE top 0", ..., "exit 7".
    std::vector<std::string> Report() const;

    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_.Get(); }

private:
    TempFolder scratch_;
    BxCommon::UniqueHandle process_;
    DWORD pid_ = 0;
};

}  // namespace TestSupport

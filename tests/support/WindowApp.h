// A running window-app process (tests/apps/WindowApp.cpp): started with the
// windows a test asks for, waited for, and killed if the test leaves it
// running.
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
    // `windows` is the window part of the command line, e.g. L"--top 2".
    // `executable` defaults to the built window-app.exe.
    explicit WindowApp(const std::wstring& windows, const std::wstring& executable = {}, DWORD creationFlags = 0);
    ~WindowApp();
    WindowApp(const WindowApp&) = delete;
    WindowApp& operator=(const WindowApp&) = delete;

    // True once the app has opened and shown its windows (bounded wait).
    bool WaitUntilReady(DWORD timeoutMs = 20000) const;
    // The exit status, or nothing if it is still running at the deadline.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // "WM_CLOSE top 0", ..., "exit 7": what the app recorded.
    std::vector<std::string> Report() const;

    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_.Get(); }
    void Resume() const;

private:
    TempFolder scratch_;
    std::wstring readyPath_;
    std::wstring reportPath_;
    BxCommon::UniqueHandle process_;
    BxCommon::UniqueHandle thread_;
    DWORD pid_ = 0;
};

// A copy of window-app.exe at `path` (folders created), for tests that need
// the executable under another name.
std::wstring CopyWindowApp(const std::wstring& path);

}  // namespace TestSupport

// Task 0 through the real export, against real processes with real windows
// (the X display of scripts/test.sh).
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <regex>

#include "ExpectedText.h"
#include "ExportCall.h"
#include "FakeQuennet.h"
#include "ImportPatch.h"
#include "Tavrel/Plugin/TavrelInterface.h"
#include "TempFolder.h"
#include "WindowApp.h"

using namespace TestSupport;

namespace {

std::wstring StopRequest(const std::wstring& elements) {
    return L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[" + elements + L"]}}";
}

std::wstring Element(DWORD pid, const std::wstring& path) {
    return L"{\"PcAppStopPid\":" + std::to_wstring(pid) + L",\"PcAppStopFilePath\":" + JsonQuoted(path) + L"}";
}

std::wstring ExecutablePathOf(HANDLE process) {
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, GetModuleFileNameExW(process, nullptr, path, MAX_PATH));
}

// As the log writes numbers.
std::wstring Hex(DWORD value) {
    wchar_t text[16];
    swprintf(text, 16, value == 0 ? L"0" : L"0x%lx", value);
    return text;
}

// The first line logged that starts with `start`, or nothing.
std::optional<std::wstring> Logged(const std::vector<std::wstring>& texts, const std::wstring& start) {
    const auto found =
        std::find_if(texts.begin(), texts.end(), [&](const std::wstring& text) { return text.rfind(start, 0) == 0; });
    return found != texts.end() ? std::optional(*found) : std::nullopt;
}

const std::wstring kMismatch = L"CloseProcessInList() --- Process file path is not match!";
const std::wstring kWindowFound = L"GetWindowHandleByPID() --- hWnd=";
const std::wstring kWindowSearched = L"==> CParentControlProcessHelper::GetWindowHandleByPID";

// The helper's process and window calls for one process id, in order.
struct ProcessCalls {
    static inline DWORD pid = 0;
    static inline HANDLE opened = nullptr;
    static inline std::vector<std::string> events;
    static inline decltype(&OpenProcess) realOpen = nullptr;
    static inline decltype(&CloseHandle) realClose = nullptr;
    static inline decltype(&PostMessageW) realPost = nullptr;

    static HANDLE WINAPI Open(DWORD access, BOOL inherit, DWORD processId) {
        HANDLE process = realOpen(access, inherit, processId);
        if (processId == pid && process != nullptr) {
            opened = process;
            events.push_back("open");
        }
        return process;
    }
    static BOOL WINAPI Close(HANDLE handle) {
        if (handle != nullptr && handle == opened) {
            opened = nullptr;
            events.push_back("close");
        }
        return realClose(handle);
    }
    static BOOL WINAPI Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        events.push_back(message == WM_CLOSE ? "post WM_CLOSE" : "post");
        return realPost(window, message, wParam, lParam);
    }
};

class StopApplications : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t display[256] = {};
        ASSERT_NE(0u, GetEnvironmentVariableW(L"DISPLAY", display, 256))
            << "window tests need an X display: run them through scripts/test.sh (Xvfb)";
    }

    // The lines logged; task 0 writes nothing back.
    std::vector<std::wstring> Send(const std::wstring& request) {
        FakeQuennet::Reset(0x1234, 2);
        EXPECT_EQ(L"{}", SendThrough(Interface_FastCall_CallFunc, request));
        return FakeQuennet::Texts();
    }

    TempFolder folder_;
};

}  // namespace

// The request's path must hold the lower-cased executable path, anywhere,
// case and all: the copy's name has capitals.
TEST_F(StopApplications, ARequestPathHoldingTheLowerCasedExecutablePathClosesItsWindow) {
    const struct {
        const wchar_t* before;
        bool lowered;
        const wchar_t* after;
    } rows[] = {{L"", true, L""}, {L"\"", true, L"\" --fullscreen"}, {L"", false, L""}};
    for (const auto& row : rows) {
        WindowApp app(L"--top 1", folder_ / L"Apps\\Game.exe");
        ASSERT_TRUE(app.WaitUntilReady());
        const std::wstring path = ExecutablePathOf(app.Process());
        ASSERT_NE(std::wstring::npos, path.find(L"Game.exe")) << path;
        const std::wstring requested = row.before + (row.lowered ? Lower(path) : path) + row.after;

        const auto texts = Send(StopRequest(Element(app.Pid(), requested)));

        EXPECT_TRUE(Logged(texts, L"uPid: " + Hex(app.Pid()) + L" tsFilePath: " + requested));
        if (!row.lowered) {
            EXPECT_TRUE(Logged(texts, kMismatch + L" PID: " + Hex(app.Pid()) + L" tsAppFilePath: " + requested +
                                          L" tsFilePath: " + Lower(path)));
            EXPECT_EQ(std::nullopt, app.WaitForExit(1000));
            continue;
        }
        EXPECT_EQ(std::optional<DWORD>(7), app.WaitForExit(20000)) << requested;
        EXPECT_EQ((std::vector<std::string>{"WM_CLOSE top 0", "exit 7"}), app.Report());
        const std::wregex handle(L"GetWindowHandleByPID\\(\\) --- hWnd=0x[0-9a-f]{8} Pid=" + Hex(app.Pid()));
        EXPECT_TRUE(std::regex_match(Logged(texts, kWindowFound).value_or(L"none"), handle));
    }
}

// While the process is open its id cannot pass to another process, whose
// window would otherwise get the close request.
TEST_F(StopApplications, TheProcessStaysOpenUntilItsWindowIsAskedToClose) {
    WindowApp app(L"--top 1", folder_ / L"Apps\\Game.exe");
    ASSERT_TRUE(app.WaitUntilReady());
    const std::wstring path = Lower(ExecutablePathOf(app.Process()));
    ImportPatch open("kernel32.dll", "OpenProcess", reinterpret_cast<void*>(&ProcessCalls::Open));
    ImportPatch close("kernel32.dll", "CloseHandle", reinterpret_cast<void*>(&ProcessCalls::Close));
    ImportPatch post("user32.dll", "PostMessageW", reinterpret_cast<void*>(&ProcessCalls::Post));
    ASSERT_TRUE(open.Original() && close.Original() && post.Original());
    ProcessCalls::realOpen = open.OriginalAs<decltype(&OpenProcess)>();
    ProcessCalls::realClose = close.OriginalAs<decltype(&CloseHandle)>();
    ProcessCalls::realPost = post.OriginalAs<decltype(&PostMessageW)>();
    ProcessCalls::pid = app.Pid();

    Send(StopRequest(Element(app.Pid(), path)));

    EXPECT_EQ((std::vector<std::string>{"open", "post WM_CLOSE", "close"}), ProcessCalls::events);
    EXPECT_EQ(std::optional<DWORD>(7), app.WaitForExit(20000));
}

// The window shown last is on top; each entry of the list asks it again.
TEST_F(StopApplications, TheTopmostQualifyingWindowIsAskedOncePerEntry) {
    WindowApp app(L"--top 3");
    ASSERT_TRUE(app.WaitUntilReady());
    const std::wstring element = Element(app.Pid(), Lower(ExecutablePathOf(app.Process())));

    Send(StopRequest(element + L"," + element));

    EXPECT_EQ(std::optional<DWORD>(7), app.WaitForExit(20000));
    EXPECT_EQ((std::vector<std::string>{"WM_CLOSE top 2", "WM_CLOSE top 2", "exit 7"}), app.Report());
}

// Hidden windows and owned pop-ups do not qualify. A process that cannot be
// opened (no process has id 6: ids are multiples of four), that has exited,
// or whose path cannot be read (suspended at its start, before its modules
// are listed) gets no path check: its window is looked for all the same.
TEST_F(StopApplications, NoWindowQualifiesOrThePathCannotBeRead) {
    DWORD exited = 0;
    {
        WindowApp app(L"--top 1");
        ASSERT_TRUE(app.WaitUntilReady());
        exited = app.Pid();
        TerminateProcess(app.Process(), 1);
        WaitForSingleObject(app.Process(), 5000);
    }
    WindowApp hidden(L"--hidden 2"), popups(L"--popup 2"), suspended(L"--top 1", {}, CREATE_SUSPENDED);
    ASSERT_TRUE(hidden.WaitUntilReady() && popups.WaitUntilReady());
    ASSERT_EQ(L"", ExecutablePathOf(suspended.Process()));
    for (const auto& [pid, path] : {std::pair{hidden.Pid(), Lower(ExecutablePathOf(hidden.Process()))},
                                    std::pair{popups.Pid(), Lower(ExecutablePathOf(popups.Process()))},
                                    std::pair{DWORD{6}, std::wstring(L"c:\\apps\\game.exe")},
                                    std::pair{exited, std::wstring(L"c:\\apps\\game.exe")},
                                    std::pair{suspended.Pid(), std::wstring(L"c:\\apps\\game.exe")}}) {
        const auto texts = Send(StopRequest(Element(pid, path)));
        EXPECT_FALSE(Logged(texts, kMismatch)) << pid;
        EXPECT_TRUE(Logged(texts, kWindowSearched)) << pid;
        EXPECT_FALSE(Logged(texts, kWindowFound)) << pid;
    }
    EXPECT_EQ(std::nullopt, hidden.WaitForExit(1000));
    EXPECT_EQ(std::nullopt, popups.WaitForExit(0));
}

// Whatever the list holds is read to items, missing members as 0 and "".
TEST_F(StopApplications, HostileStopListsAreReadToDefaultItems) {
    const auto parsed = [&](const std::wstring& request) {
        std::vector<std::wstring> lines;
        for (const std::wstring& text : Send(request)) {
            if (text.rfind(L"uAppCount: ", 0) == 0 || text.rfind(L"uPid: ", 0) == 0) lines.push_back(text);
        }
        return lines;
    };
    for (const std::wstring& request :
         {std::wstring(L"{\"TaskID\":0}"), StopRequest(L""), std::wstring(L"{\"TaskParam\":[1,2]}"),
          std::wstring(L"{\"TaskParam\":{\"PcAppStopList\":{\"PcAppStopPid\":1}}}"),
          std::wstring(L"{\"TaskParam\":{\"PcAppStopList\":\"c:\\\\x.exe\"}}"),
          std::wstring(L"{\"TaskParam\":{\"PcAppStopList\":17}}")}) {
        EXPECT_EQ(std::vector<std::wstring>{L"uAppCount: 0"}, parsed(request)) << request;
    }
    EXPECT_EQ((std::vector<std::wstring>{L"uAppCount: 0x7", L"uPid: 0 tsFilePath: ", L"uPid: 0 tsFilePath: ",
                                         L"uPid: 0 tsFilePath: ", L"uPid: 0xff tsFilePath: ",
                                         L"uPid: 0 tsFilePath: c:\\a.exe", L"uPid: 0 tsFilePath: ",
                                         L"uPid: 0x3 tsFilePath: "}),
              parsed(StopRequest(L"5, \"text\", null, {\"PcAppStopPid\":255}, {\"PcAppStopFilePath\":\"c:\\\\a.exe\"},"
                                 L" {\"PcAppStopPid\":\"12\",\"PcAppStopFilePath\":42},"
                                 L" {\"PcAppStopPid\":3,\"PcAppStopFilePath\":[\"c:\\\\x.exe\"]}")));
    const std::wstring longPath(100000, L'p');
    EXPECT_EQ((std::vector<std::wstring>{L"uAppCount: 0x2", L"uPid: 0 tsFilePath: c:\\x.exe",
                                         L"uPid: 0xffffffff tsFilePath: " + longPath}),
              parsed(StopRequest(Element(0, L"c:\\x.exe") + L"," + Element(0xFFFFFFFF, longPath))));
}

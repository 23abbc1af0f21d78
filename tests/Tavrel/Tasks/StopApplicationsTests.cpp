// Task 0 through the real export, against real processes with real windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <regex>

#include "FakeQuennet.h"
#include "ImportPatch.h"
#include "JsonQuoted.h"
#include "tavrel-host/OwnedJson.h"
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
    DWORD length = GetModuleFileNameExW(process, nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    return text;
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    return text;
}

std::wstring Hex(DWORD value) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%lx", value);
    return value == 0 ? L"0" : text;
}

// The order of the helper's process and window calls for one process id.
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

    std::vector<std::wstring> Send(const std::wstring& request) {
        TavrelHost::OwnedJson requestValue(request);
        TavrelHost::OwnedJson response(L"{}");
        FakeQuennet::Reset(0x1234, 2);
        EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(requestValue.Get(), response.Get()));
        EXPECT_EQ(L"{}", response.ToText()) << "task 0 writes nothing back";
        return FakeQuennet::Texts();
    }

    static bool Contains(const std::vector<std::wstring>& texts, const std::wstring& wanted) {
        return std::find(texts.begin(), texts.end(), wanted) != texts.end();
    }

    static bool AnyStartsWith(const std::vector<std::wstring>& texts, const std::wstring& prefix) {
        return std::any_of(texts.begin(), texts.end(), [&](const std::wstring& t) { return t.rfind(prefix, 0) == 0; });
    }

    TempFolder folder_;
};

}  // namespace

// The request's path must contain the lower-cased executable path, anywhere.
TEST_F(StopApplications, ARequestPathHoldingTheLowerCasedExecutablePathClosesItsWindow) {
    for (const bool withTextAround : {false, true}) {
        WindowApp app(L"--top 1", CopyWindowApp(folder_ / L"Apps\\Game.exe"));
        ASSERT_TRUE(app.WaitUntilReady());
        const std::wstring path = ExecutablePathOf(app.Process());
        ASSERT_NE(std::wstring::npos, path.find(L"Game.exe")) << path;
        const std::wstring requested = withTextAround ? L"\"" + Lower(path) + L"\" --fullscreen" : Lower(path);

        auto texts = Send(StopRequest(Element(app.Pid(), requested)));

        EXPECT_EQ(std::optional<DWORD>(7), app.WaitForExit(20000));
        EXPECT_EQ((std::vector<std::string>{"WM_CLOSE top 0", "exit 7"}), app.Report());
        ASSERT_EQ(14u, texts.size());
        EXPECT_EQ(L"uAppCount: 0x1", texts[2]);
        EXPECT_EQ(L"uPid: " + Hex(app.Pid()) + L" tsFilePath: " + requested, texts[3]);
        EXPECT_TRUE(std::regex_match(
            texts[8], std::wregex(L"GetWindowHandleByPID\\(\\) --- hWnd=0x[0-9a-f]{8} Pid=" + Hex(app.Pid()))))
            << texts[8];
    }
}

// While the process is open its id cannot pass to another process, whose
// window would otherwise get the close request.
TEST_F(StopApplications, TheProcessStaysOpenUntilItsWindowIsAskedToClose) {
    WindowApp app(L"--top 1", CopyWindowApp(folder_ / L"Apps\\Game.exe"));
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

TEST_F(StopApplications, UpperCaseRequestPathDoesNotMatchAndIsLogged) {
    WindowApp app(L"--top 1", CopyWindowApp(folder_ / L"Apps\\Game.exe"));
    ASSERT_TRUE(app.WaitUntilReady());
    std::wstring path = ExecutablePathOf(app.Process());
    std::wstring requested = Upper(path);

    auto texts = Send(StopRequest(Element(app.Pid(), requested)));

    EXPECT_TRUE(Contains(texts, L"CloseProcessInList() --- Process file path is not match! PID: " + Hex(app.Pid()) +
                                    L" tsAppFilePath: " + requested + L" tsFilePath: " + Lower(path)));
    EXPECT_FALSE(AnyStartsWith(texts, L"==> CParentControlProcessHelper::GetWindowHandleByPID"));
    EXPECT_EQ(std::nullopt, app.WaitForExit(1000));
}

TEST_F(StopApplications, OnlyTheTopmostOfSeveralQualifyingWindowsIsClosed) {
    WindowApp app(L"--top 3 --child 2");
    ASSERT_TRUE(app.WaitUntilReady());

    Send(StopRequest(Element(app.Pid(), Lower(ExecutablePathOf(app.Process())))));

    EXPECT_EQ(std::optional<DWORD>(7), app.WaitForExit(20000));
    // The window shown last is on top.
    EXPECT_EQ((std::vector<std::string>{"WM_CLOSE top 2", "exit 7"}), app.Report());
}

TEST_F(StopApplications, HiddenWindowsAndOwnedPopupsDoNotQualify) {
    for (const wchar_t* windows : {L"--hidden 2", L"--popup 2"}) {
        WindowApp app(windows);
        ASSERT_TRUE(app.WaitUntilReady());

        auto texts = Send(StopRequest(Element(app.Pid(), Lower(ExecutablePathOf(app.Process())))));

        EXPECT_TRUE(Contains(texts, L"<== CParentControlProcessHelper::GetWindowHandleByPID")) << windows;
        EXPECT_FALSE(AnyStartsWith(texts, L"GetWindowHandleByPID() --- hWnd=")) << windows;
        EXPECT_EQ(std::nullopt, app.WaitForExit(1000)) << windows;
    }
}

TEST_F(StopApplications, ExitedProcessGetsNoPathCheckAndNothingIsPosted) {
    DWORD pid = 0;
    {
        WindowApp app(L"--top 1");
        ASSERT_TRUE(app.WaitUntilReady());
        pid = app.Pid();
        TerminateProcess(app.Process(), 1);
        WaitForSingleObject(app.Process(), 5000);
    }
    auto texts = Send(StopRequest(Element(pid, L"c:\\apps\\game.exe")));
    EXPECT_FALSE(AnyStartsWith(texts, L"CloseProcessInList() --- Process file path is not match!"));
    EXPECT_TRUE(Contains(texts, L"<== CParentControlProcessHelper::GetWindowHandleByPID"));
    EXPECT_FALSE(AnyStartsWith(texts, L"GetWindowHandleByPID() --- hWnd="));
}

TEST_F(StopApplications, EmptyStopListMakesNoHelperAtAll) {
    for (const wchar_t* request : {L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[]}}", L"{\"TaskID\":0}",
                                   L"{\"TaskParam\":{\"PcAppStopList\":{\"PcAppStopPid\":1}}}",
                                   L"{\"TaskParam\":{\"PcAppStopList\":\"c:\\\\x.exe\"}}",
                                   L"{\"TaskParam\":{\"PcAppStopList\":17}}", L"{\"TaskParam\":[1,2]}"}) {
        EXPECT_EQ((std::vector<std::wstring>{L"==> Interface_FastCall_CallFunc", L"dwTaskId = 0", L"uAppCount: 0",
                                             L"<== Interface_FastCall_CallFunc"}),
                  Send(request))
            << request;
    }
}

TEST_F(StopApplications, ElementsThatAreNotObjectsOrLackMembersGiveDefaultItems) {
    auto texts =
        Send(StopRequest(L"5, \"text\", null, {\"PcAppStopPid\":255}, {\"PcAppStopFilePath\":\"c:\\\\a.exe\"},"
                         L" {\"PcAppStopPid\":\"12\",\"PcAppStopFilePath\":42}"));
    EXPECT_EQ((std::vector<std::wstring>{L"uAppCount: 0x6", L"uPid: 0 tsFilePath: ", L"uPid: 0 tsFilePath: ",
                                         L"uPid: 0 tsFilePath: ", L"uPid: 0xff tsFilePath: ",
                                         L"uPid: 0 tsFilePath: c:\\a.exe", L"uPid: 0 tsFilePath: "}),
              std::vector<std::wstring>(texts.begin() + 2, texts.begin() + 9));
}

TEST_F(StopApplications, DuplicateEntriesEachPostTheirOwnCloseRequest) {
    WindowApp app(L"--top 1");
    ASSERT_TRUE(app.WaitUntilReady());
    std::wstring element = Element(app.Pid(), Lower(ExecutablePathOf(app.Process())));

    Send(StopRequest(element + L"," + element));

    EXPECT_EQ(std::optional<DWORD>(7), app.WaitForExit(20000));
    EXPECT_EQ((std::vector<std::string>{"WM_CLOSE top 0", "WM_CLOSE top 0", "exit 7"}), app.Report());
}

TEST_F(StopApplications, UnreadableExecutablePathSkipsThePathCheck) {
    // A process created suspended has no module list yet on Windows, so its
    // path cannot be read; the entry is then treated like a process that
    // cannot be opened.
    WindowApp app(L"--top 1", {}, CREATE_SUSPENDED);
    if (!ExecutablePathOf(app.Process()).empty()) {
        app.Resume();
        GTEST_SKIP() << "this platform reads the path of a suspended process; the failure path is not reachable here";
    }
    auto texts = Send(StopRequest(Element(app.Pid(), L"no match at all")));
    app.Resume();
    EXPECT_FALSE(AnyStartsWith(texts, L"CloseProcessInList() --- Process file path is not match!"));
    EXPECT_TRUE(Contains(texts, L"==> CParentControlProcessHelper::GetWindowHandleByPID"));
}

TEST_F(StopApplications, HostileListsEndWithTheSpecifiedFallbacks) {
    // Process ids 0 and 0xFFFFFFFF, a 100,000-character path, non-string paths.
    std::wstring longPath(100000, L'p');
    auto texts = Send(StopRequest(Element(0, L"c:\\x.exe") + L"," + Element(0xFFFFFFFF, longPath) +
                                  L",{\"PcAppStopPid\":3,\"PcAppStopFilePath\":[\"c:\\\\x.exe\"]}"));
    EXPECT_EQ(L"uAppCount: 0x3", texts.at(2));
    EXPECT_EQ(L"uPid: 0xffffffff tsFilePath: " + longPath, texts.at(4));
    EXPECT_EQ(L"uPid: 0x3 tsFilePath: ", texts.at(5));
    EXPECT_EQ(L"<== Interface_FastCall_CallFunc", texts.back());
}

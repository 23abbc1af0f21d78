// window-app: a real GUI process for the window tests. It opens the windows
// its command line asks for and reports what happens to them.
//
//   window-app [--top N] [--hidden N] [--popup N] [--report FILE]
//
// --top N     N visible top-level windows, shown in order (the last on top)
// --hidden N  N hidden top-level windows
// --popup N   N visible pop-ups owned by a hidden top-level window
// --report    one line each: "ready" once every window is shown, then
//             "WM_CLOSE <kind> <index>" per close request, then "exit <status>"
//
// Exit status: 7 when closed by WM_CLOSE, 3 when it quits on its own after a minute.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kClosedExitCode = 7;
constexpr int kLifetimeExitCode = 3;
constexpr UINT_PTR kClosedTimer = 1;
constexpr UINT_PTR kLifetimeTimer = 2;

std::wstring g_reportPath;

void Report(const std::string& line) {
    if (g_reportPath.empty()) return;
    std::ofstream(std::filesystem::path(g_reportPath), std::ios::app | std::ios::binary) << line << "\n";
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        char name[64] = {};
        GetWindowTextA(window, name, sizeof name);
        Report(std::string("WM_CLOSE ") + name);
        // Quit a little later, so that a second close request posted in the
        // same burst is recorded too.
        SetTimer(window, kClosedTimer, 300, nullptr);
        return 0;
    }
    if (message == WM_TIMER) {
        PostQuitMessage(wParam == kClosedTimer ? kClosedExitCode : kLifetimeExitCode);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Open(const char* kind, int index, DWORD style, HWND parent) {
    const std::string name = std::string(kind) + " " + std::to_string(index);
    return CreateWindowExW(0, L"TavrelWindowApp", std::wstring(name.begin(), name.end()).c_str(), style, 10 + index * 5,
                           10 + index * 5, 200, 100, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    std::map<std::wstring, std::wstring> options;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
    LocalFree(argv);
    const auto count = [&](const wchar_t* option) { return _wtoi(options[option].c_str()); };
    g_reportPath = options[L"--report"];

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TavrelWindowApp";
    RegisterClassW(&windowClass);

    for (int i = 0; i < count(L"--hidden"); ++i) Open("hidden", i, WS_OVERLAPPEDWINDOW, nullptr);
    HWND owner = count(L"--popup") > 0 ? Open("owner", 0, WS_OVERLAPPEDWINDOW, nullptr) : nullptr;
    for (int i = 0; i < count(L"--popup"); ++i) Open("popup", i, WS_POPUP | WS_BORDER | WS_VISIBLE, owner);
    for (int i = 0; i < count(L"--top"); ++i) Open("top", i, WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);

    // Let the windows be created and shown before the test looks for them.
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Report("ready");
    SetTimer(Open("timer", 0, WS_OVERLAPPEDWINDOW, nullptr), kLifetimeTimer, 60000, nullptr);

    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    const int exitCode = message.message == WM_QUIT ? static_cast<int>(message.wParam) : kLifetimeExitCode;
    Report("exit " + std::to_string(exitCode));
    return exitCode;
}

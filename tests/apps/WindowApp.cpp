// window-app: a real GUI process for the window tests. It opens the windows
// its command line asks for, tells the test when they are up, and records
// every WM_CLOSE it receives before it quits.
//
//   window-app [--top N] [--hidden N] [--popup N] [--child N]
//              [--ready FILE] [--report FILE] [--lifetime MS]
//
// --top N     N visible top-level windows, shown in order (the last on top)
// --hidden N  N hidden top-level windows
// --popup N   N visible pop-ups owned by a hidden top-level window
// --child N   N visible child windows in the first top-level window
// --ready     written once every window exists and is shown
// --report    one line per WM_CLOSE: "WM_CLOSE <kind> <index>"
// --lifetime  quit on its own after this many milliseconds (default 60000)
//
// Exit status: 7 when closed by WM_CLOSE, 3 when its lifetime ran out.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kClosedExitCode = 7;
constexpr int kLifetimeExitCode = 3;
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT_PTR kClosedTimer = 2;

std::wstring g_reportPath;

void AppendLine(const std::wstring& path, const std::string& line) {
    if (path.empty()) return;
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    std::string text = line + "\n";
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: {
            char name[64] = {};
            GetWindowTextA(window, name, sizeof name);
            AppendLine(g_reportPath, std::string("WM_CLOSE ") + name);
            // Quit a little later, so that a second close request posted in
            // the same burst is recorded too.
            SetTimer(window, kClosedTimer, 300, nullptr);
            return 0;
        }
        case WM_TIMER:
            if (wParam == kClosedTimer) PostQuitMessage(kClosedExitCode);
            if (wParam == kLifetimeTimer) PostQuitMessage(kLifetimeExitCode);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND Open(const char* kind, int index, DWORD style, HWND parent) {
    std::string name = std::string(kind) + " " + std::to_string(index);
    std::wstring title(name.begin(), name.end());
    return CreateWindowExW(0, L"TavrelWindowApp", title.c_str(), style, 10 + index * 5, 10 + index * 5, 200, 100,
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int top = 0, hidden = 0, popups = 0, children = 0;
    unsigned lifetime = 60000;
    std::wstring readyPath;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring option = argv[i];
        std::wstring value = argv[i + 1];
        if (option == L"--top")
            top = _wtoi(value.c_str());
        else if (option == L"--hidden")
            hidden = _wtoi(value.c_str());
        else if (option == L"--popup")
            popups = _wtoi(value.c_str());
        else if (option == L"--child")
            children = _wtoi(value.c_str());
        else if (option == L"--ready")
            readyPath = value;
        else if (option == L"--report")
            g_reportPath = value;
        else if (option == L"--lifetime")
            lifetime = static_cast<unsigned>(_wtoi(value.c_str()));
    }
    LocalFree(argv);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TavrelWindowApp";
    RegisterClassW(&windowClass);

    std::vector<HWND> topWindows;
    for (int i = 0; i < hidden; ++i) Open("hidden", i, WS_OVERLAPPEDWINDOW, nullptr);
    if (popups > 0) {
        HWND owner = Open("owner", 0, WS_OVERLAPPEDWINDOW, nullptr);
        for (int i = 0; i < popups; ++i) Open("popup", i, WS_POPUP | WS_BORDER | WS_VISIBLE, owner);
    }
    for (int i = 0; i < top; ++i) topWindows.push_back(Open("top", i, WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr));
    for (int i = 0; i < children && !topWindows.empty(); ++i) {
        Open("child", i, WS_CHILD | WS_VISIBLE, topWindows.front());
    }

    // Let the windows be created and shown before the test looks for them.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (!readyPath.empty()) AppendLine(readyPath, "ready");

    HWND timerWindow = Open("timer", 0, WS_OVERLAPPEDWINDOW, nullptr);
    SetTimer(timerWindow, kLifetimeTimer, lifetime, nullptr);

    int exitCode = kLifetimeExitCode;
    for (;;) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    AppendLine(g_reportPath, "exit " + std::to_string(exitCode));
    return exitCode;
}

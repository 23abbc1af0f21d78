// stop-bench: what task 0 costs per stop-list entry whose process does not
// exist, and what one walk over the desktop's top-level windows costs with
// 200 windows open (window-app --top 200). Needs an X display.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchTimer.h"
#include "Common/Source/PCCommonHelper.h"
#include "Platform/Jorvex/include/Jorvex/JsonValue.h"
#include "Tavrel/Plugin/TavrelInterface.h"

namespace {

std::wstring Folder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

int CountTopLevelWindows() {
    int count = 0;
    for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) ++count;
    return count;
}

double SecondsPerEntry(int entries) {
    std::wstring text = L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[";
    for (int i = 0; i < entries; ++i) {
        text += i == 0 ? L"" : L",";
        text += L"{\"PcAppStopPid\":4000000000,\"PcAppStopFilePath\":\"c:\\\\none.exe\"}";
    }
    text += L"]}}";
    JsonHandle request = JSON_HANDLE_DEFAULT_INIT;
    JsonHandle response = JSON_HANDLE_DEFAULT_INIT;
    VESK_PA_JsonValue_CreateJsonHandle(&request);
    VESK_PA_JsonValue_Reader(request, text.c_str());
    VESK_PA_JsonValue_CreateJsonHandle(&response);
    const double start = Bench::Seconds();
    Interface_FastCall_CallFunc(&request, &response);
    const double elapsed = Bench::Seconds() - start;
    VESK_PA_JsonValue_DestroyJsonHandle(&request);
    VESK_PA_JsonValue_DestroyJsonHandle(&response);
    return elapsed / entries;
}

}  // namespace

int main() {
    std::printf("top-level windows before: %d\n", CountTopLevelWindows());
    Bench::Report("task 0, per entry of a missing process", SecondsPerEntry(2000) * 1e9);
    CParentControlProcessHelper helper;
    Bench::Report("one window walk (no window qualifies)",
                  Bench::NanosecondsPerCall(200, [&] { helper.GetWindowHandleByPID(4000000000u); }));

    std::wstring app = Folder() + L"window-app.exe";
    std::wstring commandLine = L"\"" + app + L"\" --top 200 --lifetime 60000";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(app.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("cannot start window-app: %lu\n", GetLastError());
        return 1;
    }
    WaitForInputIdle(process.hProcess, 20000);
    for (int i = 0; i < 200 && CountTopLevelWindows() < 200; ++i) Sleep(50);
    Sleep(2000);  // let the X server settle after mapping 200 windows
    std::printf("top-level windows with window-app --top 200: %d\n", CountTopLevelWindows());
    Bench::Report("task 0, per entry of a missing process (200 windows)", SecondsPerEntry(500) * 1e9);
    Bench::Report("one window walk (200 windows, none qualifies)",
                  Bench::NanosecondsPerCall(100, [&] { helper.GetWindowHandleByPID(4000000000u); }));
    TerminateProcess(process.hProcess, 0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

// trace-bench MODE: what a traced function and a dispatch cost.
//   no-service  logging service not started (handle 0)
//   level-0     service started, the module's level 0 (QUENNET_LOG_LEVEL=0)
//   level-2     service started, level 2: every trace line written to the file
// The service is one per process, so bench/run.sh runs one process per mode.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "BenchTimer.h"
#include "Platform/Jorvex/include/Jorvex/JsonValue.h"
#include "Platform/Quennet/include/Quennet/Log.h"
#include "Tavrel/Log/ScopeTrace.h"
#include "Tavrel/Plugin/TavrelInterface.h"

namespace {

__attribute__((noinline)) void TracedEmptyFunction() { TAVREL_SCOPE_TRACE(L"Bench::TracedEmptyFunction"); }

std::wstring TempLogFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"tavrel-bench-log\\";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"no-service";
    if (mode != L"no-service") {
        SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", mode == L"level-2" ? L"2" : L"0");
        Log_ConstructServer(TempLogFolder().c_str());
    }
    const long calls = mode == L"level-2" ? 20000 : 2000000;
    const std::string suffix = ", " + std::string(mode.begin(), mode.end());
    std::string label = "traced empty function" + suffix;
    Bench::Report(label.c_str(), Bench::NanosecondsPerCall(calls, TracedEmptyFunction));
    // A traced export against an untraced one: what the trace adds to a call.
    DWORD version = 0;
    const double bare = Bench::NanosecondsPerCall(calls, [&] { Interface_FastCall_Versioning(&version); });
    const double traced = Bench::NanosecondsPerCall(calls, [] { Interface_FastCall_Initialize(); });
    label = "Interface_FastCall_Versioning (untraced)" + suffix;
    Bench::Report(label.c_str(), bare);
    label = "Interface_FastCall_Initialize (traced)" + suffix;
    Bench::Report(label.c_str(), traced);
    label = "what the trace adds to an export" + suffix;
    Bench::Report(label.c_str(), traced - bare);

    JsonHandle request = JSON_HANDLE_DEFAULT_INIT;
    JsonHandle response = JSON_HANDLE_DEFAULT_INIT;
    VESK_PA_JsonValue_CreateJsonHandle(&request);
    VESK_PA_JsonValue_Reader(request, L"{\"TaskID\":7}");
    VESK_PA_JsonValue_CreateJsonHandle(&response);
    label = "Interface_FastCall_CallFunc, unknown task" + suffix;
    Bench::Report(label.c_str(), Bench::NanosecondsPerCall(mode == L"level-2" ? 5000 : 100000,
                                                           [&] { Interface_FastCall_CallFunc(&request, &response); }));
    VESK_PA_JsonValue_DestroyJsonHandle(&request);
    VESK_PA_JsonValue_DestroyJsonHandle(&response);
    return 0;
}

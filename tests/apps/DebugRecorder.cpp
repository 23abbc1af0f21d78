// BxDbgRecorder.dll: a debug library for tests. It records every line the
// common library's debug log hands it, and answers as a test tells it to.
// Built a second time as BxDbgPartial.dll without BxDbgInitialize, for the
// missing-function cases.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#define RECORDER_API extern "C" __declspec(dllexport)

namespace {

std::mutex g_lock;
std::vector<std::wstring> g_lines;
int g_answer = 0;
int g_handle = 0;
unsigned g_initializations = 0;

}  // namespace

#ifndef RECORDER_WITHOUT_INITIALIZE
RECORDER_API int WINAPI BxDbgInitialize(const wchar_t*, void** debugHandle) {
    std::lock_guard<std::mutex> hold(g_lock);
    *debugHandle = &g_handle;
    ++g_initializations;
    return 0;
}
#endif

RECORDER_API int WINAPI BxDbgUninitialize(void*) { return 0; }

RECORDER_API int WINAPI BxDbgTrace(void* debugHandle, const SYSTEMTIME*, const wchar_t* line) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (debugHandle != &g_handle) return -1;
    g_lines.emplace_back(line);
    return g_answer;
}

// The test's side: the recorded lines, one at a time (null past the end).
RECORDER_API const wchar_t* WINAPI BxDbgRecorder_Line(unsigned index) {
    std::lock_guard<std::mutex> hold(g_lock);
    return index < g_lines.size() ? g_lines[index].c_str() : nullptr;
}

RECORDER_API unsigned WINAPI BxDbgRecorder_Count() {
    std::lock_guard<std::mutex> hold(g_lock);
    return static_cast<unsigned>(g_lines.size());
}

RECORDER_API unsigned WINAPI BxDbgRecorder_Initializations() {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_initializations;
}

RECORDER_API void WINAPI BxDbgRecorder_Reset(int answer) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_lines.clear();
    g_answer = answer;
}

#include "DebugRecorder.h"

#include <gtest/gtest.h>

#include "ChildProcess.h"

namespace TestSupport {
namespace {

template <typename Function>
Function RecorderFunction(const char* name) {
    HMODULE recorder = GetModuleHandleW(L"BxDbgRecorder.dll");
    if (recorder == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(recorder, name)));
}

}  // namespace

void SwitchOnWithRecorder(BxCommon::DebugLog& log, unsigned levelMask, const wchar_t* name) {
    DWORD error = 0;
    ASSERT_TRUE(log.SwitchOn((BinaryFolder() + L"BxDbgRecorder.dll").c_str(), name, levelMask, &error)) << error;
    ResetDebugRecorder();
}

std::vector<std::wstring> RecordedDebugLines() {
    auto count = RecorderFunction<unsigned(WINAPI*)()>("BxDbgRecorder_Count");
    auto line = RecorderFunction<const wchar_t*(WINAPI*)(unsigned)>("BxDbgRecorder_Line");
    std::vector<std::wstring> lines;
    if (count == nullptr || line == nullptr) return lines;
    for (unsigned i = 0, n = count(); i < n; ++i) lines.emplace_back(line(i));
    return lines;
}

unsigned RecordedInitializations() {
    auto count = RecorderFunction<unsigned(WINAPI*)()>("BxDbgRecorder_Initializations");
    return count != nullptr ? count() : 0;
}

void ResetDebugRecorder(int answer) {
    if (auto reset = RecorderFunction<void(WINAPI*)(int)>("BxDbgRecorder_Reset")) reset(answer);
}

}  // namespace TestSupport

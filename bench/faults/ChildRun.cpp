#include "ChildRun.h"

#include "BenchTimer.h"
#include "Common/BxCommon/BxComn_UniqueResource.h"

namespace Faults {

ChildResult RunChild(const std::wstring& arguments, DWORD limitMs) {
    ChildResult result;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + arguments;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    const double start = Bench::Seconds();
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        return result;
    }
    const BxCommon::UniqueHandle process(info.hProcess), thread(info.hThread);
    result.started = true;
    if (WaitForSingleObject(process.Get(), limitMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), INFINITE);
    }
    result.seconds = Bench::Seconds() - start;
    GetExitCodeProcess(process.Get(), &result.exitCode);
    return result;
}

}  // namespace Faults

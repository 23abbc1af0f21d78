#include "WindowApp.h"

#include <gtest/gtest.h>

#include <sstream>

#include "ChildProcess.h"
#include "TextFile.h"

namespace TestSupport {

WindowApp::WindowApp(const std::wstring& windows, const std::wstring& copyAt, DWORD creationFlags) {
    const std::wstring built = BinaryFolder() + L"window-app.exe";
    const std::wstring program = copyAt.empty() ? built : copyAt;
    if (!copyAt.empty()) CopyFileTo(built, copyAt);
    std::wstring commandLine = Quote(program) + L" " + windows + L" --report " + Quote(scratch_ / L"report.txt");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start window-app: " << GetLastError();
        return;
    }
    const BxCommon::UniqueHandle thread(info.hThread);
    process_.Reset(info.hProcess);
    pid_ = info.dwProcessId;
}

WindowApp::~WindowApp() {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

// The report starts with "ready" once the windows are up.
bool WindowApp::WaitUntilReady() const {
    for (const ULONGLONG deadline = GetTickCount64() + 20000; GetTickCount64() < deadline; Sleep(20)) {
        if (FileExists(scratch_ / L"report.txt")) return true;
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0) return false;
    }
    return false;
}

std::optional<DWORD> WindowApp::WaitForExit(DWORD timeoutMs) const {
    if (!process_ || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
}

std::vector<std::string> WindowApp::Report() const {
    std::vector<std::string> lines;
    std::istringstream stream(ReadBytes(scratch_ / L"report.txt"));
    for (std::string line; std::getline(stream, line);) {
        if (line != "ready") lines.push_back(line);
    }
    return lines;
}

}  // namespace TestSupport

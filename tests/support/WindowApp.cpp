#include "WindowApp.h"

#include <gtest/gtest.h>

#include <sstream>

#include "ChildProcess.h"
#include "TextFile.h"

namespace TestSupport {

WindowApp::WindowApp(const std::wstring& windows, const std::wstring& executable, DWORD creationFlags)
    : readyPath_(scratch_ / L"ready.txt"), reportPath_(scratch_ / L"report.txt") {
    std::wstring program = executable.empty() ? BinaryFolder() + L"window-app.exe" : executable;
    std::wstring commandLine = Quote(program) + L" " + windows + L" --ready " + Quote(readyPath_) + L" --report " +
                               Quote(reportPath_) + L" --lifetime 60000";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start window-app: " << GetLastError();
        return;
    }
    process_.Reset(info.hProcess);
    thread_.Reset(info.hThread);
    pid_ = info.dwProcessId;
}

WindowApp::~WindowApp() {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

void WindowApp::Resume() const { ResumeThread(thread_.Get()); }

bool WindowApp::WaitUntilReady(DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        if (FileExists(readyPath_)) return true;
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0) return false;
        Sleep(20);
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
    std::istringstream stream(ReadBytes(reportPath_));
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::wstring CopyWindowApp(const std::wstring& path) {
    CreateFolders(path.substr(0, path.find_last_of(L'\\')));
    EXPECT_TRUE(CopyFileW((BinaryFolder() + L"window-app.exe").c_str(), path.c_str(), FALSE)) << GetLastError();
    return path;
}

}  // namespace TestSupport

#include "ChildProcess.h"

#include <algorithm>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "TempFolder.h"
#include "TextFile.h"

namespace TestSupport {

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs, const std::string& input,
                         const std::wstring& workingFolder) {
    TempFolder scratch;
    ProcessResult result;
    WriteBytes(scratch / L"in", input);
    {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const auto open = [&](const wchar_t* name, DWORD access, DWORD disposition) {
            return BxCommon::UniqueFileHandle(CreateFileW((scratch / name).c_str(), access,
                                                          FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                                          disposition, 0, nullptr));
        };
        const auto in = open(L"in", GENERIC_READ, OPEN_EXISTING);
        const auto out = open(L"out", GENERIC_WRITE, CREATE_ALWAYS);
        const auto err = open(L"err", GENERIC_WRITE, CREATE_ALWAYS);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.Get();
        startup.hStdOutput = out.Get();
        startup.hStdError = err.Get();
        PROCESS_INFORMATION info{};
        std::wstring mutableLine = commandLine;
        if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                            workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info)) {
            result.err = L"CreateProcessW failed: " + std::to_wstring(GetLastError());
            return result;
        }
        const BxCommon::UniqueHandle process(info.hProcess), thread(info.hThread);
        result.finished = WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0;
        if (!result.finished) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), 5000);
        }
        GetExitCodeProcess(process.Get(), &result.exitCode);
    }
    const auto read = [&](const wchar_t* name) {
        std::wstring text = ReadUtf8File(scratch / name);
        text.erase(std::remove(text.begin(), text.end(), L'\r'), text.end());
        return text;
    };
    result.out = read(L"out");
    result.err = read(L"err");
    return result;
}

ProcessResult Host(const std::wstring& arguments, const std::string& input) {
    return RunProcess(Quote(BinaryFolder() + L"tavrel-host.exe") + L" " + arguments, 60000, input);
}

std::wstring BinaryFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring Quote(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes double only before a quote, which gets one of its own.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace TestSupport

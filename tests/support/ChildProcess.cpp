#include "ChildProcess.h"

#include "TempFolder.h"
#include "TextFile.h"

namespace TestSupport {
namespace {

class InheritableFile {
public:
    InheritableFile(const std::wstring& path, DWORD access, DWORD disposition) {
        SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
        handle_ = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~InheritableFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

std::wstring WithoutCarriageReturns(std::wstring text) {
    std::wstring kept;
    for (wchar_t c : text) {
        if (c != L'\r') kept += c;
    }
    return kept;
}

}  // namespace

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs, const std::string& input,
                         const std::wstring& workingFolder) {
    TempFolder scratch;
    std::wstring inPath = scratch / L"in.txt";
    {
        HANDLE file = CreateFileW(inPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (!input.empty()) WriteFile(file, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
        CloseHandle(file);
    }
    ProcessResult result;
    {
        InheritableFile in(inPath, GENERIC_READ, OPEN_EXISTING);
        InheritableFile out(scratch / L"out.txt", GENERIC_WRITE, CREATE_ALWAYS);
        InheritableFile err(scratch / L"err.txt", GENERIC_WRITE, CREATE_ALWAYS);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.Get();
        startup.hStdOutput = out.Get();
        startup.hStdError = err.Get();
        PROCESS_INFORMATION process{};
        std::wstring mutableLine = commandLine;
        if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                            workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process)) {
            result.err = L"CreateProcessW failed: " + std::to_wstring(GetLastError());
            return result;
        }
        result.finished = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
        if (!result.finished) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
        }
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.out = WithoutCarriageReturns(ReadUtf8File(scratch / L"out.txt"));
    result.err = WithoutCarriageReturns(ReadUtf8File(scratch / L"err.txt"));
    return result;
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
        if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace TestSupport

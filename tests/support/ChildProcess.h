// Programs run to their end (bounded) with their output captured in files,
// and the environment they inherit.
#pragma once

#include <windows.h>

#include <string>

namespace TestSupport {

struct ProcessResult {
    bool finished = false;  // false: still running at the deadline (then killed)
    DWORD exitCode = 0;
    std::wstring out;  // standard output, UTF-8 decoded, CR removed
    std::wstring err;
};

// `commandLine` is passed to CreateProcessW as is. `input`, when not empty,
// becomes the program's standard input.
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 30000, const std::string& input = {},
                         const std::wstring& workingFolder = {});

// The build's tavrel-host.exe run with `arguments`.
ProcessResult Host(const std::wstring& arguments, const std::string& input = {});

// The folder of the running test executable, with a trailing separator; the
// build puts every binary there.
std::wstring BinaryFolder();

// Quotes one argument for CommandLineToArgvW-style parsing.
std::wstring Quote(const std::wstring& argument);

// An environment variable of this process set (or, with null, removed) for
// the life of the object, and removed afterwards.
class EnvironmentVariable {
public:
    EnvironmentVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
        SetEnvironmentVariableW(name, value);
    }
    ~EnvironmentVariable() { SetEnvironmentVariableW(name_, nullptr); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const wchar_t* name_;
};

}  // namespace TestSupport

// Runs a program to its end (bounded) with its output captured in files.
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

// The folder of the running test executable, with a trailing separator; the
// build puts every binary there.
std::wstring BinaryFolder();

// Quotes one argument for CommandLineToArgvW-style parsing.
std::wstring Quote(const std::wstring& argument);

}  // namespace TestSupport

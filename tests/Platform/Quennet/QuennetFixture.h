// Every test gets a freshly loaded Quennet.dll (so no service runs yet,
// whether the cases share a process or not), a private temporary folder and
// no QUENNET_LOG_LEVEL in the environment.
#pragma once

#include <Quennet/Log.h>

#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace QuennetTests {

class QuennetFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Load();
    void Unload();  // FreeLibrary: the service stops and closes its files

    // Starts the service on `folder` (expecting 0) and answers its handle.
    QuennetHandle Start(const std::wstring& folder);
    // Log_Flush of all of `text` through the default handle.
    int32_t Write(const wchar_t* module, const std::wstring& text);

    void SetOverride(const wchar_t* value) { SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", value); }

    decltype(&Log_ConstructServer) construct = nullptr;
    decltype(&Log_GetDefaultHandle) defaultHandle = nullptr;
    decltype(&Log_GetLogLevel) logLevel = nullptr;
    decltype(&Log_Flush) flush = nullptr;
    TestSupport::TempFolder temp;

private:
    HMODULE dll_ = nullptr;
};

// The file's lines, each with its CR LF; a last piece without one is kept,
// so a torn line shows.
std::vector<std::string> Lines(const std::wstring& path);
// Names of the files (not folders) in `folder`, sorted.
std::vector<std::wstring> FileNames(const std::wstring& folder);

struct ParsedLine {
    std::string stamp;  // YYYY-MM-DD HH:MM:SS.mmm
    unsigned long processId, threadId, level, sourceLine;
    std::string source, text;
};
// Reads a line in the documented format; false when it is not one.
bool ParseLine(const std::string& line, ParsedLine& parsed);

}  // namespace QuennetTests

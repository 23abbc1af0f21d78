// Every test gets a freshly loaded Quennet.dll (so no service runs yet), a
// private temporary folder and no QUENNET_LOG_LEVEL in the environment.
#pragma once

#include <Quennet/Log.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "TempFolder.h"
#include "TextFile.h"

namespace QuennetTests {

class QuennetFixture : public ::testing::Test {
protected:
    QuennetFixture() { SetOverride(nullptr); }
    void SetUp() override { Load(); }
    void TearDown() override { Unload(); }
    void Load() {
        dll_.Reset(LoadLibraryW(L"Quennet.dll"));  // the test's own folder is searched first
        ASSERT_TRUE(dll_) << "cannot load Quennet.dll, error " << GetLastError();
        construct = Export<decltype(construct)>("Log_ConstructServer");
        defaultHandle = Export<decltype(defaultHandle)>("Log_GetDefaultHandle");
        logLevel = Export<decltype(logLevel)>("Log_GetLogLevel");
        flush = Export<decltype(flush)>("Log_Flush");
        ASSERT_TRUE(construct && defaultHandle && logLevel && flush);
    }
    // FreeLibrary: the service stops and closes its files.
    void Unload() { dll_.Reset(); }
    // Starts the service on `folder` (expecting 0) and answers its handle.
    QuennetHandle Start(const std::wstring& folder) {
        EXPECT_EQ(construct(folder.c_str()), 0);
        return defaultHandle();
    }
    // Log_Flush of all of `text` through the default handle.
    int32_t Write(const wchar_t* module, const std::wstring& text) {
        return flush(defaultHandle(), module, 2, L"test.cpp", 1, text.c_str(), uint32_t(text.size() * 2));
    }
    void SetOverride(const wchar_t* value) { SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", value); }

    decltype(&Log_ConstructServer) construct = nullptr;
    decltype(&Log_GetDefaultHandle) defaultHandle = nullptr;
    decltype(&Log_GetLogLevel) logLevel = nullptr;
    decltype(&Log_Flush) flush = nullptr;
    TestSupport::TempFolder temp;

private:
    // GetProcAddress answers a generic function pointer; void (*)() is the cast GCC accepts silently.
    template <typename Function>
    Function Export(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(dll_.Get(), name)));
    }
    BxCommon::UniqueHModule dll_;
};

// The file's lines, each with its CR LF; a last piece without one is kept, so a torn line shows.
inline std::vector<std::string> Lines(const std::wstring& path) {
    const std::string bytes = TestSupport::ReadBytes(path);
    std::vector<std::string> lines;
    for (size_t start = 0, end = 0; start < bytes.size(); start = end) {
        end = bytes.find("\r\n", start);
        end = end == std::string::npos ? bytes.size() : end + 2;
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

// Names of the files (not folders) in `folder`, sorted.
inline std::vector<std::wstring> FileNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

struct ParsedLine {
    std::string stamp;  // YYYY-MM-DD HH:MM:SS.mmm
    unsigned long threadId;
    std::string text;
};
// Reads a line in the documented format; false when it is not one. ECMAScript
// `.` matches neither CR nor LF, so a line broken by its text fails here.
inline bool ParseLine(const std::string& line, ParsedLine& parsed) {
    static const std::regex format(
        R"(^(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}) (\d+) (\d+) L(\d+) (.*)\((\d+)\): (.*)\r\n$)");
    std::smatch match;
    if (!std::regex_match(line, match, format)) return false;
    parsed = {match[1], std::stoul(match[3]), match[7]};
    return true;
}

}  // namespace QuennetTests

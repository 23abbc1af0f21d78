// The logging service as the module uses it: started once on the folder the
// module passes, one file per module there, the line format the README
// documents, and the levels from the default, Quennet.ini and
// QUENNET_LOG_LEVEL.
#include <Quennet/Log.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "TempFolder.h"
#include "TextFile.h"

namespace {

// Every case loads Quennet.dll itself (so no service runs yet), with a
// private temporary folder and no QUENNET_LOG_LEVEL in the environment.
class Quennet : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", nullptr);
        Load();
    }
    // FreeLibrary (Reset) stops the service and closes its files.
    void Load() {
        dll.Reset(LoadLibraryW(L"Quennet.dll"));  // the test's own folder is searched first
        ASSERT_TRUE(dll) << "cannot load Quennet.dll, error " << GetLastError();
        // GetProcAddress answers a generic function pointer; void (*)() is the cast GCC accepts silently.
        const auto get = [&](const char* name) {
            return reinterpret_cast<void (*)()>(GetProcAddress(dll.Get(), name));
        };
        construct = reinterpret_cast<decltype(construct)>(get("Log_ConstructServer"));
        defaultHandle = reinterpret_cast<decltype(defaultHandle)>(get("Log_GetDefaultHandle"));
        logLevel = reinterpret_cast<decltype(logLevel)>(get("Log_GetLogLevel"));
        flush = reinterpret_cast<decltype(flush)>(get("Log_Flush"));
        ASSERT_TRUE(construct && defaultHandle && logLevel && flush);
    }
    int32_t Write(const wchar_t* module, const std::wstring& text) {
        return flush(defaultHandle(), module, 2, L"test.cpp", 1, text.c_str(), uint32_t(text.size() * 2));
    }
    // The file's lines, each with its CR LF; a last piece without one is kept.
    std::vector<std::string> Lines(const std::wstring& relative) {
        const std::string bytes = TestSupport::ReadBytes(temp / relative);
        std::vector<std::string> lines;
        for (size_t start = 0, end = 0; start < bytes.size(); start = end) {
            end = bytes.find("\r\n", start);
            end = end == std::string::npos ? bytes.size() : end + 2;
            lines.push_back(bytes.substr(start, end - start));
        }
        return lines;
    }

    BxCommon::UniqueHModule dll;
    decltype(&Log_ConstructServer) construct = nullptr;
    decltype(&Log_GetDefaultHandle) defaultHandle = nullptr;
    decltype(&Log_GetLogLevel) logLevel = nullptr;
    decltype(&Log_Flush) flush = nullptr;
    TestSupport::TempFolder temp;
};

// As the module passes it, <install folder>\..\VESK\ (relative here), with
// nothing existing yet. Later calls change nothing, whatever the argument;
// the service holds its files until it is unloaded.
TEST_F(Quennet, StartsOnceOnTheNormalisedFolderAndUnloadClosesItsFiles) {
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.Path().c_str()));
    EXPECT_EQ(0, construct(L"Prog\\Suite\\..\\VESK\\"));
    SetCurrentDirectoryW(previous);
    const QuennetHandle handle = defaultHandle();
    EXPECT_NE(nullptr, handle);
    EXPECT_EQ(1, construct((temp / L"second").c_str()));
    EXPECT_EQ(1, construct(nullptr));
    EXPECT_EQ(handle, defaultHandle());
    ASSERT_EQ(0, Write(L"Tavrel", L"x"));
    EXPECT_FALSE(TestSupport::FileExists(temp / L"second"));
    EXPECT_FALSE(TestSupport::FileExists(temp / L"Prog\\Suite"));
    const std::wstring log = temp / L"Prog\\VESK\\Tavrel.log";
    const auto openExclusively = [&] {
        HANDLE file = CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        return file != INVALID_HANDLE_VALUE && CloseHandle(file);
    };
    EXPECT_EQ(1u, Lines(L"Prog\\VESK\\Tavrel.log").size());
    EXPECT_FALSE(openExclusively());
    dll.Reset();
    EXPECT_TRUE(openExclusively());
}

// A folder that cannot be one (a file in the way, characters file names
// cannot hold, nothing) starts no service and does not count as the one
// start. Handles other than the service's are never dereferenced.
TEST_F(Quennet, FailuresLeaveNoServiceAndOtherHandlesAreRefused) {
    EXPECT_LT(Write(L"Tavrel", L"x"), 0);
    ASSERT_TRUE(TestSupport::WriteUtf8File(temp / L"file", L"not a folder"));
    for (const std::wstring& folder : {temp / L"file\\logs", temp / L"file", temp / L"bad<name>", std::wstring()}) {
        EXPECT_LT(construct(folder.c_str()), 0) << folder;
        EXPECT_EQ(nullptr, defaultHandle());
    }
    EXPECT_LT(construct(nullptr), 0);
    ASSERT_EQ(0, construct((temp / L"good").c_str()));
    const QuennetHandle handle = defaultHandle();
    EXPECT_LT(Write(nullptr, L"x"), 0);
    EXPECT_LT(flush(handle, L"Tavrel", 2, L"test.cpp", 1, nullptr, 2), 0);
    EXPECT_EQ(0u, logLevel(handle, nullptr));
    int notAService = 5;
    for (QuennetHandle other : {QuennetHandle{}, reinterpret_cast<QuennetHandle>(1), QuennetHandle{&notAService}}) {
        EXPECT_EQ(0u, logLevel(other, L"Tavrel"));
        EXPECT_LT(flush(other, L"Tavrel", 2, L"test.cpp", 1, L"x", 2), 0);
    }
    EXPECT_FALSE(TestSupport::FileExists(temp / L"good\\Tavrel.log"));
}

// YYYY-MM-DD HH:MM:SS.mmm <pid> <tid> L<level> <source>(<line>): <text>,
// local time, appended to what the file holds. Text in UTF-8: U+00FC, U+1F600
// (D83D DE00); unpaired surrogates become U+FFFD; CR and LF, in the text and
// in the source name, become spaces. An odd last byte is dropped; no text is
// an empty message, no source "?". Log_Flush writes any level: filtering is
// the caller's gate. Module names that differ in case share a file.
TEST_F(Quennet, WritesTheDocumentedLineInLocalTimeAsOneLineOfUtf8) {
    ASSERT_TRUE(TestSupport::WriteUtf8File(temp / L"Tavrel.log", L"earlier\r\n"));
    ASSERT_EQ(0, construct(temp.Path().c_str()));
    const QuennetHandle handle = defaultHandle();
    const auto localStamp = [] {
        SYSTEMTIME t;
        GetLocalTime(&t);
        char stamp[32];
        snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
                 t.wMinute, t.wSecond, t.wMilliseconds);
        return std::string(stamp);
    };
    const std::wstring text = L"==> Interface_FastCall_Initialize";
    const std::string before = localStamp();
    ASSERT_EQ(0, flush(handle, L"Tavrel", 1, L"Tavrel/Plugin/Exports.cpp", 31, text.c_str(), 2 * text.size()));
    const std::string after = localStamp();
    const std::wstring utf16 = L"Gr\u00FCn \xD83D\xDE00 \xD83D|\xDE00|\r\nb\rc\nd\xD83D";
    ASSERT_EQ(0, flush(handle, L"TAVREL", 2, L"a\r\nb.cpp", 7, utf16.c_str(), uint32_t(utf16.size() * 2)));
    ASSERT_EQ(0, flush(handle, L"Tavrel", 2, L"e.cpp", 7, nullptr, 0));
    ASSERT_EQ(0, flush(handle, L"tavrel", 2, nullptr, 7, L"ab", 3));
    const std::vector<std::string> lines = Lines(L"Tavrel.log");
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ("earlier\r\n", lines[0]);
    const std::string stamp = lines[1].substr(0, 23);
    EXPECT_TRUE(before <= stamp && stamp <= after) << stamp;
    const std::string ids = " " + std::to_string(GetCurrentProcessId()) + " " + std::to_string(GetCurrentThreadId());
    EXPECT_EQ(ids + " L1 Tavrel/Plugin/Exports.cpp(31): ==> Interface_FastCall_Initialize\r\n", lines[1].substr(23));
    EXPECT_EQ(ids + " L2 a  b.cpp(7): Gr\xC3\xBCn \xF0\x9F\x98\x80 \xEF\xBF\xBD|\xEF\xBF\xBD|  b c d\xEF\xBF\xBD\r\n",
              lines[2].substr(23));
    EXPECT_EQ(ids + " L2 e.cpp(7): \r\n", lines[3].substr(23));
    EXPECT_EQ(ids + " L2 ?(7): a\r\n", lines[4].substr(23));
}

// Concurrent writers' lines come whole, none lost, each writer's in its order.
TEST_F(Quennet, ConcurrentWritersNeverMixLinesAndLoseNone) {
    constexpr int kThreads = 4, kLines = 250;
    ASSERT_EQ(0, construct(temp.Path().c_str()));
    std::atomic<int> ready{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            for (++ready; ready < kThreads;) std::this_thread::yield();  // all start together
            for (int i = 0; i < kLines; ++i) Write(L"Tavrel", std::to_wstring(t) + L" " + std::wstring(300, L'a' + t));
        });
    }
    for (std::thread& writer : writers) writer.join();
    const std::vector<std::string> lines = Lines(L"Tavrel.log");
    ASSERT_EQ(size_t{kThreads * kLines}, lines.size());
    for (const std::string& line : lines) {
        const size_t text = line.find("(1): ") + 5;
        const int t = line[text] - '0';
        ASSERT_TRUE(t >= 0 && t < kThreads) << line.substr(0, 80);
        ASSERT_EQ(std::to_string(t) + " " + std::string(300, 'a' + t) + "\r\n", line.substr(text));
    }
}

// Levels are read once, at the start: the default is 5; Quennet.ini (UTF-8,
// with or without BOM) sets a module or "*", the later line winning and
// malformed ones ignored; QUENNET_LOG_LEVEL as a bare number sets every
// module, as a list replaces the file's entries. Names compare without case.
TEST_F(Quennet, LevelsComeFromTheDefaultTheSettingsFileAndTheVariable) {
    // U+FEFF becomes the UTF-8 BOM; U+00C4 is A-umlaut, U+00E4 a-umlaut.
    const wchar_t* ini =
        L"\uFEFF\u00C4rger=4\r\n; levels\r\n  Tavrel = 2   ; trace\r\n*=3\nLater=1\nlater=6\n"
        L"NoEquals\nLetters=abc\nTooBig=4294967296\n";
    const struct {
        const wchar_t *ini, *override;  // none when null
        std::vector<std::pair<const wchar_t*, uint32_t>> levels;
    } cases[] = {
        {nullptr, nullptr, {{L"Tavrel", 5}, {L"", 5}}},
        {ini, nullptr, {{L"tAVREL", 2}, {L"\u00E4RGER", 4}, {L"LATER", 6}, {L"Letters", 3}, {L"TooBig", 3}}},
        {ini, L" 0 ", {{L"Tavrel", 0}, {L"Other", 0}}},
        {ini, L"tavrel = 7, *=1,junk,Bad=x,,New=9", {{L"Tavrel", 7}, {L"\u00C4rger", 4}, {L"New", 9}, {L"Bad", 1}}},
    };
    for (const auto& c : cases) {
        const std::wstring folder = temp / std::to_wstring(&c - cases);
        SCOPED_TRACE(testing::Message() << folder);
        TestSupport::CreateFolders(folder);
        ASSERT_TRUE(c.ini == nullptr || TestSupport::WriteUtf8File(folder + L"\\Quennet.ini", c.ini));
        SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", c.override);
        dll.Reset();
        Load();
        ASSERT_EQ(0, construct(folder.c_str()));
        ASSERT_TRUE(TestSupport::WriteUtf8File(folder + L"\\Quennet.ini", L"*=9\n"));
        SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", L"8");
        for (const auto& [module, level] : c.levels) EXPECT_EQ(level, logLevel(defaultHandle(), module)) << module;
    }
}

}  // namespace

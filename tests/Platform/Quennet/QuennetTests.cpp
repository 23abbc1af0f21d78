// The logging service where the module's own tests, which read its file
// through a pattern and set one level for all, do not look: the exact line,
// in local time and UTF-8, appended to what the file holds; the default
// level and the list form of QUENNET_LOG_LEVEL.
#include <Quennet/Log.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "TempFolder.h"
#include "TextFile.h"

namespace {

// Quennet.dll loaded for one start of its service, which reads the levels
// once; unloading stops it and closes its files.
class LoadedQuennet {
public:
    explicit LoadedQuennet(const wchar_t* levels) {
        SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", levels);
        dll_.Reset(LoadLibraryW(L"Quennet.dll"));  // the test's own folder is searched first
        // GetProcAddress answers a generic function pointer; void (*)() is the cast GCC accepts silently.
        const auto get = [&](const char* name) {
            return reinterpret_cast<void (*)()>(GetProcAddress(dll_.Get(), name));
        };
        construct = reinterpret_cast<decltype(construct)>(get("Log_ConstructServer"));
        defaultHandle = reinterpret_cast<decltype(defaultHandle)>(get("Log_GetDefaultHandle"));
        level = reinterpret_cast<decltype(level)>(get("Log_GetLogLevel"));
        flush = reinterpret_cast<decltype(flush)>(get("Log_Flush"));
    }
    ~LoadedQuennet() { SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", nullptr); }
    bool Loaded() const { return construct && defaultHandle && level && flush; }

    decltype(&Log_ConstructServer) construct = nullptr;
    decltype(&Log_GetDefaultHandle) defaultHandle = nullptr;
    decltype(&Log_GetLogLevel) level = nullptr;
    decltype(&Log_Flush) flush = nullptr;

private:
    BxCommon::UniqueHModule dll_;
};

std::string LocalStamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, t.wMilliseconds);
    return stamp;
}

// YYYY-MM-DD HH:MM:SS.mmm <pid> <tid> L<level> <source>(<line>): <text>, with
// U+00FC (C3 BC) and U+1F600 (D83D DE00, F0 9F 98 80) in UTF-8 and CR LF as
// spaces. The variable's list sets named modules, without case, and "*".
TEST(Quennet, WritesTheDocumentedLineAndTakesLevelsFromItsVariable) {
    TestSupport::TempFolder temp;
    {
        LoadedQuennet quennet(nullptr);
        ASSERT_TRUE(quennet.Loaded());
        ASSERT_EQ(0, quennet.construct(temp.Path().c_str()));
        EXPECT_EQ(5u, quennet.level(quennet.defaultHandle(), L"Tavrel"));
    }
    ASSERT_TRUE(TestSupport::WriteUtf8File(temp / L"Tavrel.log", L"earlier\r\n"));
    LoadedQuennet quennet(L"tavrel = 1, *=4, junk");
    ASSERT_EQ(0, quennet.construct(temp.Path().c_str()));
    const QuennetHandle handle = quennet.defaultHandle();
    EXPECT_EQ(1u, quennet.level(handle, L"TAVREL"));
    EXPECT_EQ(4u, quennet.level(handle, L"Other"));

    const std::wstring text = L"Gr\u00FCn \xD83D\xDE00\r\nx";
    const std::string before = LocalStamp();
    ASSERT_EQ(0, quennet.flush(handle, L"Tavrel", 2, L"Tavrel/Plugin/Exports.cpp", 31, text.c_str(),
                               static_cast<uint32_t>(text.size() * 2)));
    const std::string after = LocalStamp();
    const std::string bytes = TestSupport::ReadBytes(temp / L"Tavrel.log");
    EXPECT_EQ("earlier\r\n", bytes.substr(0, 9));
    const std::string stamp = bytes.substr(9, 23);
    EXPECT_TRUE(before <= stamp && stamp <= after) << stamp;
    EXPECT_EQ(" " + std::to_string(GetCurrentProcessId()) + " " + std::to_string(GetCurrentThreadId()) +
                  " L2 Tavrel/Plugin/Exports.cpp(31): Gr\xC3\xBCn \xF0\x9F\x98\x80  x\r\n",
              bytes.substr(32));
}

}  // namespace

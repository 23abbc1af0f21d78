// The common library's debug log, off in the plug-in; for maintainers it can
// be switched on with a debug library, which gets one formatted line each.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "Common/BxCommon/BxComn_DebugLog.h"
#include "DebugRecorder.h"

using BxCommon::DebugLog;
using namespace TestSupport;

// A failed SwitchOn leaves the log off and lets the library go. Trace is
// true when BxDbgTrace answered 0; false for a level outside the mask, a
// format that cannot be used or a non-zero answer. Levels that share a bit
// get the unknown tag. A line has day, month and year in that order, ids in
// lower-case hex of at least four digits, and the source's file name only.
TEST(DebugLog, IsOffInTheProcessAndSwitchedOnWritesOneLineForEachLevelOfItsMask) {
    EXPECT_FALSE(BXDBG_TRACE(256, L"*** nothing [0x%08x]", 5u));
    DebugLog log;
    DWORD error = 0;
    EXPECT_FALSE(log.SwitchOn((BinaryFolder() + L"BxDbgPartial.dll").c_str(), L"x", 256, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), error);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"BxDbgPartial.dll"));
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"still off"));

    SwitchOnWithRecorder(log, 17, L"Tavrel");
    EXPECT_TRUE(log.Trace("C:\\src\\a.cpp", 12, 16, L"*** ::SHGetMalloc() failed. [0x%08x]", 0x80004005u));
    EXPECT_TRUE(log.Trace("a.cpp", 1, 17, L"%s", L"shared bits"));
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"not in the mask"));
    EXPECT_FALSE(log.Trace("a.cpp", 1, 16, L"broken %"));
    const auto lines = RecordedDebugLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L" @@@ <Tavrel> *** ::SHGetMalloc() failed. [0x80004005] - a.cpp(12)\r\n",
              lines[0].substr(lines[0].find(L" @@@ ")));
    EXPECT_NE(std::wstring::npos, lines[1].find(L" ??? <Tavrel> shared bits - a.cpp(1)\r\n"));
    ResetDebugRecorder(3);
    EXPECT_FALSE(log.Trace("a.cpp", 1, 16, L"refused"));

    SYSTEMTIME time{};
    time.wDay = 5, time.wMonth = 3, time.wYear = 2024, time.wHour = 7, time.wMinute = 8, time.wSecond = 9;
    time.wMilliseconds = 5;
    std::wstring line;
    ASSERT_TRUE(BxCommon::BuildDebugLine(line, time, 420, 0x12345, 1, L"N", L"text", "C:\\src\\dir/f.cpp", 42));
    EXPECT_EQ(L"05/03/2024 07:08:09.005 01a4:12345 .w. <N> text - f.cpp(42)\r\n", line);
}

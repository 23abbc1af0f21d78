// The common library's debug log, off in the plug-in; for maintainers it can
// be switched on with a debug library, which gets one formatted line each.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "Common/BxCommon/BxComn_DebugLog.h"
#include "DebugRecorder.h"

using BxCommon::DebugLog;
using namespace TestSupport;

TEST(DebugLog, TheProcessWideLogIsOffAndLoadsNothing) { EXPECT_FALSE(BXDBG_TRACE(256, L"*** nothing [0x%08x]", 5u)); }

// A failed SwitchOn leaves the log off and can be retried; a second one
// initialises nothing again and only sets the mask. Trace is true when
// BxDbgTrace answered 0, and when disabled (writing nothing); false for a
// level outside the mask, a format that cannot be used or a non-zero answer.
// Levels that share a bit get the unknown tag.
TEST(DebugLog, SwitchedOnItWritesTheLevelsOfItsMaskOnly) {
    DebugLog log;
    DWORD error = 0;
    EXPECT_FALSE(log.SwitchOn(L"C:\\no\\such.dll", L"x", 256, &error));
    EXPECT_NE(0u, error);
    EXPECT_FALSE(log.SwitchOn((BinaryFolder() + L"BxDbgPartial.dll").c_str(), L"x", 256, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), error);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"BxDbgPartial.dll")) << "the unbindable library is let go";
    EXPECT_EQ(nullptr, GetModuleHandleW(L"BxDbgRecorder.dll"));
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"still off"));

    SwitchOnWithRecorder(log, 257, L"Tavrel");
    EXPECT_TRUE(log.SwitchOn((BinaryFolder() + L"BxDbgRecorder.dll").c_str(), L"Other", 17, &error));
    EXPECT_EQ(1u, RecordedInitializations());
    EXPECT_TRUE(log.Trace("C:\\src\\a.cpp", 12, 16, L"*** ::SHGetMalloc() failed. [0x%08x]", 0x80004005u));
    EXPECT_TRUE(log.Trace("a.cpp", 1, 17, L"%s", std::wstring(1000, L'w').c_str()));
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"not in the mask"));
    EXPECT_FALSE(log.Trace("a.cpp", 1, 16, L"broken %"));
    log.SetEnabled(false);
    EXPECT_TRUE(log.Trace("a.cpp", 1, 16, L"quiet"));
    log.SetEnabled(true);
    const auto lines = RecordedDebugLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L" @@@ <Tavrel> *** ::SHGetMalloc() failed. [0x80004005] - a.cpp(12)\r\n",
              lines[0].substr(lines[0].find(L" @@@ ")));
    EXPECT_NE(std::wstring::npos, lines[1].find(L" ??? <Tavrel> " + std::wstring(1000, L'w') + L" - a.cpp(1)\r\n"));
    ResetDebugRecorder(3);
    EXPECT_FALSE(log.Trace("a.cpp", 1, 16, L"refused"));
    EXPECT_EQ(1u, RecordedDebugLines().size());
}

// Day, month and year in that order, ids in lower-case hex of at least four
// digits, the source's file name only.
TEST(DebugLine, PadsTheTimeAndWritesIdsInLowerCaseHex) {
    SYSTEMTIME time{};
    time.wDay = 5, time.wMonth = 3, time.wYear = 2024, time.wHour = 7, time.wMinute = 8, time.wSecond = 9;
    time.wMilliseconds = 5;
    std::wstring line;
    ASSERT_TRUE(BxCommon::BuildDebugLine(line, time, 420, 0x12345, 256, L"N", L"*** text", "C:\\src\\dir/f.cpp", 42));
    EXPECT_EQ(L"05/03/2024 07:08:09.005 01a4:12345 !!! <N> *** text - f.cpp(42)\r\n", line);
    ASSERT_TRUE(BxCommon::BuildDebugLine(line, time, 1, 2, 1, L"", L"m", nullptr, 4000000000u));
    EXPECT_EQ(L"05/03/2024 07:08:09.005 0001:0002 .w. <> m - (null)(4000000000)\r\n", line);
}

#include <gtest/gtest.h>

#include <regex>

#include "Common/BxCommon/BxComn_DebugLog.h"
#include "ChildProcess.h"
#include "DebugRecorder.h"

using BxCommon::DebugLog;
using namespace TestSupport;

TEST(DebugLog, TheProcessWideLogIsOffAndWritesNothing) {
    EXPECT_FALSE(BXDBG_TRACE(256, L"*** nothing [0x%08x]", 5u));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"BxDbgRecorder.dll"));
}

TEST(DebugLog, AnEnabledLogWritesTheLevelsOfItsMaskOnly) {
    DebugLog log;
    SwitchOnWithRecorder(log, 256, L"Tavrel");
    const unsigned line = __LINE__ + 1;
    EXPECT_TRUE(log.Trace(__FILE__, line, 256, L"*** ::SHGetMalloc() failed. [0x%08x]", 0x80004005u));
    EXPECT_FALSE(log.Trace(__FILE__, line, 16, L"*** not in the mask"));

    auto lines = RecordedDebugLines();
    ASSERT_EQ(1u, lines.size());
    std::wregex form(
        L"\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\\.\\d{3} [0-9a-f]{4,}:[0-9a-f]{4,} !!! <Tavrel> "
        L"\\*\\*\\* ::SHGetMalloc\\(\\) failed\\. \\[0x80004005\\] - DebugLogTests\\.cpp\\(" +
        std::to_wstring(line) + L"\\)\r\n");
    EXPECT_TRUE(std::regex_match(lines[0], form)) << lines[0].c_str();
}

TEST(DebugLog, LevelsThatShareABitAreWrittenWithTheUnknownTag) {
    DebugLog log;
    SwitchOnWithRecorder(log, 1);
    EXPECT_TRUE(log.Trace("a.cpp", 1, 17, L"combined"));
    EXPECT_TRUE(log.Trace("a.cpp", 1, 1, L"warning"));
    auto lines = RecordedDebugLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::wstring::npos, lines[0].find(L" ??? <Test> combined - a.cpp(1)\r\n"));
    EXPECT_NE(std::wstring::npos, lines[1].find(L" .w. <Test> warning - a.cpp(1)\r\n"));
}

TEST(DebugLog, SetUpButDisabledAnswersTrueAndWritesNothing) {
    DebugLog log;
    SwitchOnWithRecorder(log, 256);
    log.SetEnabled(false);
    EXPECT_TRUE(log.Trace("a.cpp", 1, 256, L"quiet"));
    log.SetEnabled(true);
    log.SetLevelMask(16);
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"masked"));
    EXPECT_TRUE(RecordedDebugLines().empty());
}

TEST(DebugLog, LongMessagesAreWrittenWhole) {
    DebugLog log;
    SwitchOnWithRecorder(log, 256);
    std::wstring long_(1000, L'm');
    EXPECT_TRUE(log.Trace("a.cpp", 7, 256, L"%s", long_.c_str()));
    auto lines = RecordedDebugLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::wstring::npos, lines[0].find(L"<Test> " + long_ + L" - a.cpp(7)"));
}

TEST(DebugLog, ANonZeroAnswerOrAnInvalidFormatGivesFalse) {
    DebugLog log;
    SwitchOnWithRecorder(log, 256);
    ResetDebugRecorder(3);
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"refused"));
    EXPECT_EQ(1u, RecordedDebugLines().size());
    ResetDebugRecorder(0);
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"broken %"));
    EXPECT_TRUE(RecordedDebugLines().empty());
}

// A failed SwitchOn leaves the log off and can be retried; a second one
// initialises nothing again and only sets the mask.
TEST(DebugLog, SwitchingOnFailsCleanlyRetriesAndHappensOnce) {
    DebugLog log;
    DWORD error = 0;
    EXPECT_FALSE(log.SwitchOn(L"C:\\no\\such.dll", L"x", 256, &error));
    EXPECT_NE(0u, error);
    EXPECT_FALSE(log.SwitchOn((BinaryFolder() + L"BxDbgPartial.dll").c_str(), L"x", 256, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), error);
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"still off"));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"BxDbgPartial.dll")) << "the unbindable library is let go";

    SwitchOnWithRecorder(log, 256);
    EXPECT_EQ(1u, RecordedInitializations());
    EXPECT_TRUE(log.SwitchOn((BinaryFolder() + L"BxDbgRecorder.dll").c_str(), L"Other", 16, &error));
    EXPECT_EQ(1u, RecordedInitializations());
    EXPECT_FALSE(log.Trace("a.cpp", 1, 256, L"masked"));
    EXPECT_TRUE(log.Trace("a.cpp", 1, 16, L"written"));
    const auto lines = RecordedDebugLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::wstring::npos, lines[0].find(L" <Test> written - ")) << "the first name stays";
}

TEST(DebugLine, PadsTheTimeAndWritesIdsInLowerCaseHex) {
    SYSTEMTIME time{};
    time.wDay = 5;
    time.wMonth = 3;
    time.wYear = 2024;
    time.wHour = 7;
    time.wMinute = 8;
    time.wSecond = 9;
    time.wMilliseconds = 5;
    std::wstring line;
    ASSERT_TRUE(
        BxCommon::BuildDebugLine(line, time, 420, 0x12345, 256, L"Name", L"*** text", "C:\\src\\dir/file.cpp", 42));
    EXPECT_EQ(L"05/03/2024 07:08:09.005 01a4:12345 !!! <Name> *** text - file.cpp(42)\r\n", line);
    ASSERT_TRUE(BxCommon::BuildDebugLine(line, time, 1, 2, 16, L"", L"m", "plain.cpp", 4000000000u));
    EXPECT_EQ(L"05/03/2024 07:08:09.005 0001:0002 @@@ <> m - plain.cpp(4000000000)\r\n", line);
    ASSERT_TRUE(BxCommon::BuildDebugLine(line, time, 1, 2, 16, L"", L"m", nullptr, 1));
    EXPECT_EQ(L"05/03/2024 07:08:09.005 0001:0002 @@@ <> m - (null)(1)\r\n", line);
}

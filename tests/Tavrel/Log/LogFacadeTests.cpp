#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeQuennet.h"
#include "Tavrel/Log/ScopeTrace.h"

using Tavrel::Log::LogBuffer;

namespace {

std::wstring TextOf(const LogBuffer& buffer) {
    return buffer.Data() ? std::wstring(buffer.Data(), buffer.ByteCount() / 2) : std::wstring();
}

}  // namespace

TEST(LogBuffer, NumbersAreLowerCaseHexWithoutLeadingZerosAndZeroIsBare) {
    LogBuffer buffer;
    buffer << 0u << L" " << 26u << L" " << 255u << L" " << 0x10u << L" " << 0xffffffffu << L" " << -1;
    EXPECT_EQ(L"0 0x1a 0xff 0x10 0xffffffff 0xffffffff", TextOf(buffer));
}

TEST(LogBuffer, NullStringAppendsMarkerEmptyAppendsNothingObjectsKeepEmbeddedNuls) {
    LogBuffer buffer;
    const wchar_t* missing = nullptr;
    buffer << missing << L"" << std::wstring(L"a\0b", 3);
    EXPECT_EQ(std::wstring(L"(NULL)a\0b", 9), TextOf(buffer));
    EXPECT_EQ(18u, buffer.ByteCount());
}

class LogFacade : public ::testing::Test {
protected:
    void SetUp() override { FakeQuennet::Reset(); }
};

TEST_F(LogFacade, ConfiguredLevelDecidesWhichLevelsPass) {
    struct Case {
        uint32_t configured;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {0, {}}, {1, {L"two", L"five"}}, {2, {L"two", L"five"}}, {3, {L"five"}}, {5, {L"five"}},
        {6, {}}, {0xffffffff, {}},
    };
    for (const Case& c : cases) {
        FakeQuennet::Reset(0x1234, c.configured);
        TAVREL_LOG(2, L"two");
        TAVREL_LOG(5, L"five");
        EXPECT_EQ(c.expected, FakeQuennet::Texts()) << "configured level " << c.configured;
    }
}

TEST_F(LogFacade, WithoutServiceNothingIsAskedOrWritten) {
    FakeQuennet::Reset(0, 2);
    TAVREL_LOG(5, L"lost");
    EXPECT_TRUE(FakeQuennet::LevelQueries().empty());
    EXPECT_TRUE(FakeQuennet::Messages().empty());
}

TEST_F(LogFacade, NothingIsFormattedWhenTheGateIsClosed) {
    int formatted = 0;
    auto counted = [&formatted]() {
        ++formatted;
        return 7u;
    };
    FakeQuennet::Reset(0x1234, 3);
    TAVREL_LOG(2, L"value " << counted());
    EXPECT_EQ(0, formatted);
    TAVREL_LOG(5, L"value " << counted());
    EXPECT_EQ(1, formatted);
    EXPECT_EQ(std::vector<std::wstring>{L"value 0x7"}, FakeQuennet::Texts());
}

TEST_F(LogFacade, RecordCarriesModuleLevelSourceLineAndByteCount) {
    const uint32_t line = __LINE__ + 1;
    TAVREL_LOG(5, L"seven u");
    ASSERT_EQ(1u, FakeQuennet::Messages().size());
    const auto& message = FakeQuennet::Messages()[0];
    EXPECT_EQ(L"Tavrel", message.module);
    EXPECT_EQ(5u, message.level);
    EXPECT_EQ(line, message.line);
    EXPECT_NE(std::wstring::npos, message.sourceFile.find(L"LogFacadeTests.cpp"));
    EXPECT_EQ(14u, message.byteCount);
    EXPECT_EQ(std::vector<std::wstring>{L"Tavrel"}, FakeQuennet::LevelQueries());
}

TEST_F(LogFacade, EmptyTextIsFlushedAsNullPointerWithZeroBytes) {
    TAVREL_LOG(2, L"");
    ASSERT_EQ(1u, FakeQuennet::Messages().size());
    EXPECT_TRUE(FakeQuennet::Messages()[0].textWasNull);
    EXPECT_EQ(0u, FakeQuennet::Messages()[0].byteCount);
}

namespace {

uint32_t g_traceLine = 0;

void TracedFunction(bool fail) {
    g_traceLine = __LINE__ + 1;
    TAVREL_SCOPE_TRACE(L"Sample::TracedFunction");
    TAVREL_LOG(2, L"inside");
    if (fail) throw std::runtime_error("leaving early");
}

}  // namespace

TEST_F(LogFacade, ScopeTraceLogsEntryWithDeclaredLineAndExitWithLineZero) {
    TracedFunction(false);
    ASSERT_EQ(3u, FakeQuennet::Messages().size());
    const auto& entry = FakeQuennet::Messages()[0];
    const auto& exit = FakeQuennet::Messages()[2];
    EXPECT_EQ(L"==> Sample::TracedFunction", entry.text);
    EXPECT_EQ(g_traceLine, entry.line);
    EXPECT_EQ(2u, entry.level);
    EXPECT_EQ(L"<== Sample::TracedFunction", exit.text);
    EXPECT_EQ(0u, exit.line);
    EXPECT_EQ(entry.sourceFile, exit.sourceFile);
}

TEST_F(LogFacade, ScopeTraceLogsExitWhenAnExceptionLeaves) {
    EXPECT_THROW(TracedFunction(true), std::runtime_error);
    EXPECT_EQ((std::vector<std::wstring>{L"==> Sample::TracedFunction", L"inside", L"<== Sample::TracedFunction"}),
              FakeQuennet::Texts());
}

TEST_F(LogFacade, ScopeTraceAsksTheGateAgainOnExit) {
    {
        TAVREL_SCOPE_TRACE(L"Switched");
        FakeQuennet::SetLevel(0);
    }
    {
        TAVREL_SCOPE_TRACE(L"SwitchedOn");
        FakeQuennet::SetLevel(2);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"==> Switched", L"<== SwitchedOn"}), FakeQuennet::Texts());
}

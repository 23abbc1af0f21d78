// The log gate and the scope trace over a recording logging service.
#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeQuennet.h"
#include "Tavrel/Log/ScopeTrace.h"

// The service's fixed number form; texts as they are, a null one as a marker.
TEST(LogBuffer, NumbersAreLowerCaseHexAndTextsComeWhole) {
    Tavrel::Log::LogBuffer buffer;
    const wchar_t* missing = nullptr;
    buffer << 0u << L" " << 26u << L" " << 0x10u << L" " << 0xffffffffu << L" " << -1 << L" " << missing << L""
           << std::wstring(L"a\0b", 3);
    static const wchar_t kExpected[] = L"0 0x1a 0x10 0xffffffff 0xffffffff (NULL)a\0b";
    EXPECT_EQ(std::wstring(kExpected, std::size(kExpected) - 1), std::wstring(buffer.Data(), buffer.ByteCount() / 2));
}

class LogFacade : public ::testing::Test {
protected:
    void SetUp() override { FakeQuennet::Reset(); }
};

// A line passes when a service runs and the configured level is set and not above the line's.
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
    FakeQuennet::Reset(0, 2);
    TAVREL_LOG(5, L"lost");
    EXPECT_TRUE(FakeQuennet::LevelQueries().empty() && FakeQuennet::Messages().empty()) << "no service, nothing asked";
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
}

TEST_F(LogFacade, ScopeTraceLogsExitWhenAnExceptionLeaves) {
    EXPECT_THROW(TracedFunction(true), std::runtime_error);
    EXPECT_EQ((std::vector<std::wstring>{L"==> Sample::TracedFunction", L"inside", L"<== Sample::TracedFunction"}),
              FakeQuennet::Texts());
}

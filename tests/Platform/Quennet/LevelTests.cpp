// Configured levels: Quennet.ini, the QUENNET_LOG_LEVEL override, the default.
#include "QuennetFixture.h"

#include "TextFile.h"

namespace QuennetTests {
namespace {

using TestSupport::WriteUtf8File;
using QuennetLevels = QuennetFixture;

TEST_F(QuennetLevels, DefaultIsFiveWithoutSettings) {
    QuennetHandle handle = Start(temp.Path());
    EXPECT_EQ(logLevel(handle, L"Tavrel"), 5u);
    EXPECT_EQ(logLevel(handle, L""), 5u);
}

TEST_F(QuennetLevels, SettingsFileNamesModulesAndTheDefault) {
    // U+FEFF is written as the UTF-8 BOM (EF BB BF), directly before the first
    // name; U+00C4 is A-umlaut, U+00E4 a-umlaut.
    ASSERT_TRUE(WriteUtf8File(temp / L"Quennet.ini",
                              L"\uFEFF\u00C4rger=4\r\n; levels of the suite\r\n  Tavrel = 2   ; trace\r\n*=3\n"
                              L"# Hidden=9\nSpaced Name\t=\t7\nOff=0\nMax=4294967295\nLater=1\nlater=6\n"
                              // malformed: ignored
                              L"NoEquals\n=4\nLetters=abc\nNegative=-1\nTooBig=4294967296\nTwo=1 2\n"));
    QuennetHandle handle = Start(temp.Path());
    EXPECT_EQ(logLevel(handle, L"Tavrel"), 2u);
    EXPECT_EQ(logLevel(handle, L"tAVREL"), 2u);
    EXPECT_EQ(logLevel(handle, L"\u00E4RGER"), 4u);
    EXPECT_EQ(logLevel(handle, L"Spaced Name"), 7u);
    EXPECT_EQ(logLevel(handle, L"Off"), 0u);
    EXPECT_EQ(logLevel(handle, L"Max"), 4294967295u);
    EXPECT_EQ(logLevel(handle, L"LATER"), 6u);
    for (const wchar_t* module : {L"Unnamed", L"Hidden", L"NoEquals", L"Letters", L"Negative", L"TooBig", L"Two"}) {
        EXPECT_EQ(logLevel(handle, module), 3u) << module;
    }
}

TEST_F(QuennetLevels, EnvironmentNumberSetsEveryModule) {
    ASSERT_TRUE(WriteUtf8File(temp / L"Quennet.ini", L"Tavrel=2\n*=3\n"));
    SetOverride(L" 0 ");
    QuennetHandle handle = Start(temp.Path());
    EXPECT_EQ(logLevel(handle, L"Tavrel"), 0u);
    EXPECT_EQ(logLevel(handle, L"Other"), 0u);
}

TEST_F(QuennetLevels, EnvironmentListOverridesNamedModulesAndTheDefault) {
    ASSERT_TRUE(WriteUtf8File(temp / L"Quennet.ini", L"Tavrel=2\nJorvex=4\n*=3\n"));
    SetOverride(L"tavrel = 7, *=1,junk,=2,Bad=x,,New=9");
    QuennetHandle handle = Start(temp.Path());
    EXPECT_EQ(logLevel(handle, L"Tavrel"), 7u);
    EXPECT_EQ(logLevel(handle, L"Jorvex"), 4u);
    EXPECT_EQ(logLevel(handle, L"New"), 9u);
    EXPECT_EQ(logLevel(handle, L"Bad"), 1u);
    EXPECT_EQ(logLevel(handle, L"Other"), 1u);
}

TEST_F(QuennetLevels, ConfigurationIsReadOnlyAtConstruction) {
    ASSERT_TRUE(WriteUtf8File(temp / L"Quennet.ini", L"Tavrel=2\n"));
    QuennetHandle handle = Start(temp.Path());
    ASSERT_TRUE(WriteUtf8File(temp / L"Quennet.ini", L"Tavrel=6\n"));
    SetOverride(L"1");
    EXPECT_EQ(logLevel(handle, L"Tavrel"), 2u);
    EXPECT_EQ(logLevel(handle, L"Other"), 5u);
}

}  // namespace
}  // namespace QuennetTests

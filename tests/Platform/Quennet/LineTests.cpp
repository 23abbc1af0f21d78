// The written line: its exact format, the text's encoding and one file per
// module.
#include "QuennetFixture.h"

#include <cstdio>

namespace QuennetTests {
namespace {

using QuennetLine = QuennetFixture;
using QuennetModuleFiles = QuennetFixture;

std::string LocalStamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, t.wMilliseconds);
    return stamp;
}

// The text part of the file's only line.
std::string OnlyText(const std::wstring& file) {
    std::vector<std::string> lines = Lines(file);
    ParsedLine parsed;
    if (lines.size() != 1 || !ParseLine(lines[0], parsed)) return "<not one line in the format>";
    return parsed.text;
}

TEST_F(QuennetLine, HasTheDocumentedFormatInLocalTime) {
    QuennetHandle handle = Start(temp.Path());
    std::wstring text = L"==> Interface_FastCall_Initialize";
    std::string before = LocalStamp();
    // Level 1 is below the default of 5: the caller's gate filters, not Log_Flush.
    ASSERT_EQ(flush(handle, L"Tavrel", 1, L"Tavrel/Plugin/Exports.cpp", 31, text.c_str(), 2 * text.size()), 0);
    std::string after = LocalStamp();

    std::vector<std::string> lines = Lines(temp / L"Tavrel.log");
    ASSERT_EQ(lines.size(), 1u);
    ParsedLine parsed;
    ASSERT_TRUE(ParseLine(lines[0], parsed)) << lines[0];
    EXPECT_LE(before, parsed.stamp);
    EXPECT_LE(parsed.stamp, after);
    EXPECT_EQ(parsed.processId, GetCurrentProcessId());
    EXPECT_EQ(parsed.threadId, GetCurrentThreadId());
    EXPECT_EQ(parsed.level, 1u);
    EXPECT_EQ(parsed.source, "Tavrel/Plugin/Exports.cpp");
    EXPECT_EQ(parsed.sourceLine, 31u);
    EXPECT_EQ(parsed.text, "==> Interface_FastCall_Initialize");
}

TEST_F(QuennetLine, TextIsOneLineOfUtf8) {
    Start(temp.Path());
    // U+00FC u-umlaut, U+00DF sharp s, U+1F600 grinning face (D83D DE00), a
    // high surrogate before '|', a lone low surrogate, CR LF, CR, LF, and a
    // high surrogate at the end.
    ASSERT_EQ(Write(L"Tavrel", L"Gr\u00FC\u00DFe \xD83D\xDE00 \xD83D|\xDE00|\r\nb\rc\nd\xD83D"), 0);
    EXPECT_EQ(OnlyText(temp / L"Tavrel.log"),
              "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80 \xEF\xBF\xBD|\xEF\xBF\xBD|  b c d\xEF\xBF\xBD");
}

TEST_F(QuennetLine, EmptyNullAndOddLengthInputs) {
    QuennetHandle handle = Start(temp.Path());
    ASSERT_EQ(flush(handle, L"Tavrel", 2, L"e.cpp", 7, nullptr, 0), 0);
    ASSERT_EQ(flush(handle, L"Tavrel", 2, nullptr, 8, L"ab", 3), 0);  // the odd byte is dropped

    std::vector<std::string> lines = Lines(temp / L"Tavrel.log");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(lines[0].find(" L2 ")), " L2 e.cpp(7): \r\n");
    EXPECT_EQ(lines[1].substr(lines[1].find(" L2 ")), " L2 ?(8): a\r\n");
}

TEST_F(QuennetLine, HugeTextIsWrittenWhole) {
    Start(temp.Path());
    std::wstring text(3 * 1024 * 1024, L'x');
    text += L"\u00E9nd";
    ASSERT_EQ(Write(L"Tavrel", text), 0);
    std::vector<std::string> lines = Lines(temp / L"Tavrel.log");
    ASSERT_EQ(lines.size(), 1u);
    const std::string& line = lines[0];
    // e-acute (U+00E9) takes two bytes, then CR LF.
    EXPECT_EQ(line.size() - (line.find("): ") + 3), text.size() + 1 + 2);
    EXPECT_EQ(line.substr(line.size() - 6), "\xC3\xA9nd\r\n");
}

TEST_F(QuennetModuleFiles, OneFilePerModuleWhateverTheCase) {
    Start(temp.Path());
    EXPECT_EQ(Write(L"Tavrel", L"t1"), 0);
    EXPECT_EQ(Write(L"Jorvex", L"j1"), 0);
    EXPECT_EQ(Write(L"TAVREL", L"t2"), 0);
    EXPECT_EQ(FileNames(temp.Path()), (std::vector<std::wstring>{L"Jorvex.log", L"Tavrel.log"}));
    EXPECT_EQ(Lines(temp / L"Tavrel.log").size(), 2u);
    EXPECT_EQ(OnlyText(temp / L"Jorvex.log"), "j1");
}

TEST_F(QuennetModuleFiles, NamesThatAreNotFileNamesStayInTheFolder) {
    std::wstring folder = temp / L"logs";
    Start(folder);
    EXPECT_EQ(Write(L"..\\up/a:b*c?d\"e<f>g|h\ti", L"x"), 0);
    EXPECT_EQ(Write(L"CON", L"x"), 0);  // a device, were it used as it is
    EXPECT_EQ(Write(L"nul.x", L"x"), 0);
    EXPECT_EQ(FileNames(folder),
              (std::vector<std::wstring>{L".._up_a_b_c_d_e_f_g_h_i.log", L"CON_.log", L"nul_.x.log"}));
    EXPECT_TRUE(FileNames(temp.Path()).empty());
}

}  // namespace
}  // namespace QuennetTests

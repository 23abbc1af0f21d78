// What is written and when: the exact line, its text as UTF-8, lines of
// concurrent writers, one file per module, and the levels from the default,
// Quennet.ini and QUENNET_LOG_LEVEL.
#include <atomic>
#include <cstdio>
#include <thread>

#include "QuennetFixture.h"

namespace QuennetTests {
namespace {

using QuennetLine = QuennetFixture;
using QuennetLevels = QuennetFixture;

std::string LocalStamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, t.wMilliseconds);
    return stamp;
}

TEST_F(QuennetLine, HasTheExactFormatInLocalTimeAndItsTextAsOneLineOfUtf8) {
    ASSERT_TRUE(TestSupport::WriteUtf8File(temp / L"Tavrel.log", L"earlier\r\n"));  // kept: files are appended to
    const QuennetHandle handle = Start(temp.Path());
    const std::wstring text = L"==> Interface_FastCall_Initialize";
    const std::string before = LocalStamp();
    // Level 1 is below the default of 5: the caller's gate filters, not Log_Flush.
    ASSERT_EQ(flush(handle, L"Tavrel", 1, L"Tavrel/Plugin/Exports.cpp", 31, text.c_str(), 2 * text.size()), 0);
    const std::string after = LocalStamp();
    // U+00FC u-umlaut, U+00DF sharp s, U+1F600 (D83D DE00), 3 MB, a high surrogate
    // before '|', a lone low one, CR LF, CR, LF, and a high surrogate at the end.
    const std::wstring utf16 =
        L"Gr\u00FC\u00DFe \xD83D\xDE00 " + std::wstring(3 << 20, L'x') + L" \xD83D|\xDE00|\r\nb\rc\nd\xD83D";
    ASSERT_EQ(flush(handle, L"Tavrel", 2, L"a\r\nb.cpp", 7, utf16.c_str(), uint32_t(utf16.size() * 2)), 0);
    ASSERT_EQ(flush(handle, L"Tavrel", 2, L"e.cpp", 7, nullptr, 0), 0);
    ASSERT_EQ(flush(handle, L"Tavrel", 2, nullptr, 7, L"ab", 3), 0);  // the odd byte is dropped
    const std::vector<std::string> lines = Lines(temp / L"Tavrel.log");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "earlier\r\n");
    ParsedLine parsed;
    ASSERT_TRUE(ParseLine(lines[1], parsed)) << lines[1];
    EXPECT_TRUE(before <= parsed.stamp && parsed.stamp <= after) << parsed.stamp;
    EXPECT_EQ(lines[1].substr(24), std::to_string(GetCurrentProcessId()) + " " + std::to_string(GetCurrentThreadId()) +
                                       " L1 Tavrel/Plugin/Exports.cpp(31): ==> Interface_FastCall_Initialize\r\n");
    const std::string texts[] = {
        "a  b.cpp(7): Gr\xC3\xBC\xC3\x9F"
        "e \xF0\x9F\x98\x80 " +
            std::string(3 << 20, 'x') + " \xEF\xBF\xBD|\xEF\xBF\xBD|  b c d\xEF\xBF\xBD\r\n",
        "e.cpp(7): \r\n", "?(7): a\r\n"};
    for (size_t i = 2; i < 5; ++i) EXPECT_TRUE(lines[i].substr(lines[i].find(" L2 ") + 4) == texts[i - 2]) << i;
}

TEST_F(QuennetLine, ConcurrentWritersNeverMixLinesAndLoseNone) {
    constexpr int Threads = 8, PerThread = 500;
    Start(temp.Path());
    std::atomic<int> ready{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < Threads; ++t) {
        writers.emplace_back([&, t] {
            for (++ready; ready < Threads;) std::this_thread::yield();  // all start together
            // Long enough that a torn write would show.
            for (int i = 0; i < PerThread; ++i) {
                Write(L"Tavrel", std::to_wstring(t) + L" " + std::to_wstring(i) + L" " + std::wstring(300, L'a' + t));
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    const std::vector<std::string> lines = Lines(temp / L"Tavrel.log");
    ASSERT_EQ(lines.size(), size_t{Threads * PerThread});
    int next[Threads] = {};
    unsigned long threadIds[Threads] = {};
    for (const std::string& line : lines) {
        ParsedLine parsed;
        int t = -1, i = -1;
        ASSERT_TRUE(ParseLine(line, parsed) && sscanf(parsed.text.c_str(), "%d %d", &t, &i) == 2) << line.substr(0, 80);
        ASSERT_TRUE(t >= 0 && t < Threads) << t;
        // Each writer's lines appear whole, in its own order, under its own thread id.
        ASSERT_EQ(i, next[t]++);
        EXPECT_EQ(parsed.text, std::to_string(t) + " " + std::to_string(i) + " " + std::string(300, 'a' + t));
        if (threadIds[t] == 0) threadIds[t] = parsed.threadId;
        EXPECT_EQ(parsed.threadId, threadIds[t]);
    }
}

TEST_F(QuennetLine, OneFilePerModuleWhateverTheCaseAndAlwaysInTheFolder) {
    const std::wstring folder = temp / L"logs";
    Start(folder);
    for (const wchar_t* module : {L"Tavrel", L"Jorvex", L"TAVREL", L"..\\up/a:b*c?d\"e<f>g|h\ti", L"CON", L"nul.x"}) {
        EXPECT_EQ(Write(module, L"x"), 0) << module;
    }
    EXPECT_EQ(FileNames(folder), (std::vector<std::wstring>{L".._up_a_b_c_d_e_f_g_h_i.log", L"CON_.log", L"Jorvex.log",
                                                            L"Tavrel.log", L"nul_.x.log"}));
    EXPECT_EQ(Lines(folder + L"\\Tavrel.log").size(), 2u);
    EXPECT_TRUE(FileNames(temp.Path()).empty());
}

TEST_F(QuennetLevels, DefaultSettingsFileAndOverrideReadOnceAtTheStart) {
    const struct {
        const wchar_t* ini;  // none when null
        const wchar_t* override;
        std::vector<std::pair<const wchar_t*, uint32_t>> levels;
    } cases[] = {
        {nullptr, nullptr, {{L"Tavrel", 5}, {L"", 5}}},
        // U+FEFF becomes the UTF-8 BOM; U+00C4 is A-umlaut, U+00E4 a-umlaut. The last six lines are malformed.
        {L"\uFEFF\u00C4rger=4\r\n; levels\r\n  Tavrel = 2   ; trace\r\n*=3\n# Hidden=9\nSpaced Name\t=\t7\nOff=0\n"
         L"Max=4294967295\nLater=1\nlater=6\nNoEquals\n=4\nLetters=abc\nNegative=-1\nTooBig=4294967296\nTwo=1 2\n",
         nullptr,
         {{L"tAVREL", 2},
          {L"\u00E4RGER", 4},
          {L"Spaced Name", 7},
          {L"Off", 0},
          {L"Max", 4294967295u},
          {L"LATER", 6},
          {L"Unnamed", 3},
          {L"Hidden", 3},
          {L"NoEquals", 3},
          {L"Letters", 3},
          {L"Negative", 3},
          {L"TooBig", 3},
          {L"Two", 3}}},
        {L"Tavrel=2\n*=3\n", L" 0 ", {{L"Tavrel", 0}, {L"Other", 0}}},
        {L"Tavrel=2\nJorvex=4\n*=3\n",
         L"tavrel = 7, *=1,junk,=2,Bad=x,,New=9",
         {{L"Tavrel", 7}, {L"Jorvex", 4}, {L"New", 9}, {L"Bad", 1}, {L"Other", 1}}}};
    for (const auto& item : cases) {
        const std::wstring folder = temp / std::to_wstring(&item - cases);
        SCOPED_TRACE(testing::Message() << folder);
        TestSupport::CreateFolders(folder);
        ASSERT_TRUE(item.ini == nullptr || TestSupport::WriteUtf8File(folder + L"\\Quennet.ini", item.ini));
        SetOverride(item.override);
        Unload();
        Load();
        const QuennetHandle handle = Start(folder);
        // Later changes have no effect until the next start.
        ASSERT_TRUE(TestSupport::WriteUtf8File(folder + L"\\Quennet.ini", L"*=9\n"));
        SetOverride(L"8");
        for (const auto& [module, level] : item.levels) EXPECT_EQ(logLevel(handle, module), level) << module;
    }
}

}  // namespace
}  // namespace QuennetTests

#include <gtest/gtest.h>

#include "Common/BxCommon/BxComn_String.h"

using BxCommon::String::Format;
using BxCommon::String::FormatV;

namespace {

// Drives FormatV the way its callers do and counts the attempts.
bool FormatCounting(std::wstring& out, int* attempts, const wchar_t* format, ...) {
    size_t size = BxCommon::String::kFormatStep;
    for (*attempts = 1;; ++*attempts) {
        const size_t before = size;
        va_list args;
        va_start(args, format);
        bool done = FormatV(out, size, format, args);
        va_end(args);
        if (done) return true;
        if (size == before) return false;
        EXPECT_EQ(before + 256, size);
    }
}

}  // namespace

TEST(StringFormat, TextsAroundTheStepSizesComeOutWholeAfterTheFewestAttempts) {
    struct Case {
        size_t length;
        int attempts;
    };
    for (Case c : {Case{255, 1}, Case{256, 2}, Case{511, 2}, Case{512, 3}, Case{5000, 20}}) {
        std::wstring text(c.length, L'x');
        std::wstring out;
        int attempts = 0;
        EXPECT_TRUE(FormatCounting(out, &attempts, L"%s", text.c_str()));
        EXPECT_EQ(text, out);
        EXPECT_EQ(c.attempts, attempts) << c.length << " characters";
        EXPECT_TRUE(Format(out, L"%s", text.c_str()));
        EXPECT_EQ(text, out);
    }
}

TEST(StringFormat, EmptyFormatGivesEmptyText) {
    std::wstring out = L"previous";
    EXPECT_TRUE(Format(out, L""));
    EXPECT_EQ(L"", out);
}

TEST(StringFormat, TheModulesFormatsGiveTheRuntimesConversions) {
    std::wstring out;
    EXPECT_TRUE(Format(out, L"0x%08x", 0x1a2bu));
    EXPECT_EQ(L"0x00001a2b", out);
    EXPECT_TRUE(Format(out, L"%02d/%02d/%04d %02d:%02d:%02d.%03d", 5, 3, 2024, 7, 8, 9, 5));
    EXPECT_EQ(L"05/03/2024 07:08:09.005", out);
    EXPECT_TRUE(Format(out, L" %04x:%04x %3s <%s> ", 0x1a4u, 0x12345u, L"!!!", L"Name"));
    EXPECT_EQ(L" 01a4:12345 !!! <Name> ", out);
    EXPECT_TRUE(Format(out, L" - %s(%lu)\r\n", L"file.cpp", 4000000000ul));
    EXPECT_EQ(L" - file.cpp(4000000000)\r\n", out);
    EXPECT_TRUE(Format(out, L"[%d] %s", -13, static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(L"[-13] (null)", out);
}

TEST(StringFormat, InvalidFormatFailsEmptyInsteadOfGrowingForever) {
    std::wstring out = L"previous";
    EXPECT_FALSE(Format(out, L"abc%"));
    EXPECT_EQ(L"", out);
    int attempts = 0;
    EXPECT_FALSE(FormatCounting(out, &attempts, L"%y"));
    EXPECT_EQ(1, attempts);
    EXPECT_FALSE(Format(out, nullptr));
}

TEST(StringFormat, TextBeyondTheBoundIsRefusedNotCut) {
    std::wstring huge(BxCommon::String::kMaxFormatSize, L'x');
    std::wstring out = L"previous";
    size_t size = BxCommon::String::kMaxFormatSize;
    va_list none{};
    EXPECT_FALSE(FormatV(out, size, huge.c_str(), none));
    EXPECT_EQ(BxCommon::String::kMaxFormatSize, size) << "no further growth once the bound is reached";
    EXPECT_EQ(L"", out);
}

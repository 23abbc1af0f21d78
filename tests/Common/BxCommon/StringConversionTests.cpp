// The string helpers: UTF-8 at the stored strings' edge, and formatting that
// never cuts its text.
#include <gtest/gtest.h>

#include "Common/BxCommon/BxComn_String.h"

using namespace BxCommon::String;

// U+0041 'A' 41; U+00E9 e acute C3 A9; U+20AC euro E2 82 AC; U+1F600
// grinning face F0 9F 98 80 (surrogates D83D DE00). Both directions stop at
// the first NUL; a lone surrogate on the way out becomes U+FFFD (EF BF BD).
TEST(Utf8, RoundTripsEveryPlaneUpToTheFirstNul) {
    const std::wstring wide = L"A\u00e9\u20ac\xD83D\xDE00";
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(utf8, WideToUtf8(wide + std::wstring(L"\0B", 2)));
    EXPECT_EQ(wide, Utf8ToWide(utf8 + std::string("\0B", 2)));
    EXPECT_EQ("a\xEF\xBF\xBD", WideToUtf8(L"a\xD800"));
}

// Ill-formed input becomes replacement characters, never a failure and never
// the character an ill-formed sequence seems to spell.
TEST(Utf8, IllFormedSequencesBecomeReplacementCharacters) {
    const std::pair<const char*, std::string> cases[] = {
        {"lead byte C3 without its continuation", "\xC3"},
        {"FF, never valid", "\xFF"},
        {"C0 AF, '/' overlong in two bytes", "\xC0\xAF"},
        {"E0 80 AF, '/' overlong in three bytes", "\xE0\x80\xAF"},
        {"F0 80 80 AF, '/' overlong in four bytes", "\xF0\x80\x80\xAF"},
        {"ED A0 80, an encoded surrogate", "\xED\xA0\x80"},
        {"F4 90 80 80, beyond U+10FFFF", "\xF4\x90\x80\x80"},
    };
    for (const auto& [name, bytes] : cases) {
        const std::wstring wide = Utf8ToWide("a" + bytes + "b");
        ASSERT_TRUE(wide.size() >= 3 && wide.front() == L'a' && wide.back() == L'b') << name;
        EXPECT_EQ(std::wstring(wide.size() - 2, L'\uFFFD'), wide.substr(1, wide.size() - 2)) << name;
    }
}

// 255 characters and the terminator fill the first buffer of 256 exactly;
// longer texts take more attempts. An invalid format fails at once, without
// growing; so does a text beyond the bound, which is refused rather than cut.
TEST(StringFormat, TextsComeOutWholeOrNotAtAll) {
    std::wstring out;
    for (size_t length : {0u, 255u, 256u, 511u, 512u, 5000u}) {
        const std::wstring text(length, L'x');
        EXPECT_TRUE(Format(out, L"%s", text.c_str())) << length;
        EXPECT_EQ(text, out) << length;
    }
    EXPECT_FALSE(Format(out, L"abc%"));
    EXPECT_EQ(L"", out);
    va_list none{};
    size_t size = 256;
    EXPECT_FALSE(FormatV(out, size, L"%y", none));
    EXPECT_EQ(256u, size);
    const std::wstring huge(kMaxFormatSize, L'x');
    size = kMaxFormatSize;
    out = L"previous";
    EXPECT_FALSE(FormatV(out, size, huge.c_str(), none));
    EXPECT_EQ(kMaxFormatSize, size);
    EXPECT_EQ(L"", out);
}

// Narrow names for Windows: short texts in place, long ones on the heap, the
// same text back either way; null stays null.
TEST(ConversionCodePage, ShortAndLongTextsComeBackAndNullStaysNull) {
    for (size_t length : {3u, 127u, 128u, 5000u}) {
        const std::wstring text(length, L'n');
        const ToConversionCodePage narrow(text.c_str());
        ASSERT_NE(nullptr, narrow.c_str()) << length;
        EXPECT_EQ(std::string(length, 'n'), narrow.c_str()) << length;
        EXPECT_EQ(text, FromConversionCodePage(narrow.c_str()).get()) << length;
    }
    EXPECT_EQ(nullptr, ToConversionCodePage(nullptr).c_str());
    EXPECT_EQ(nullptr, FromConversionCodePage(nullptr));
}

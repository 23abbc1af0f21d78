#include <gtest/gtest.h>

#include "Common/BxCommon/BxComn_HResultError.h"
#include "Common/BxCommon/BxComn_String.h"

using namespace BxCommon::String;

TEST(Utf8, RoundTripsEveryPlane) {
    // U+0041 'A' 41; U+00E9 e acute C3 A9; U+20AC euro E2 82 AC;
    // U+1F600 grinning face F0 9F 98 80 (surrogates D83D DE00).
    const std::wstring wide = L"A\u00e9\u20ac\xD83D\xDE00";
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(utf8, WideToUtf8(wide));
    EXPECT_EQ(wide, Utf8ToWide(utf8));
}

TEST(Utf8, StopsAtTheFirstNul) {
    EXPECT_EQ("A", WideToUtf8(std::wstring(L"A\0B", 3)));
    EXPECT_EQ(L"A", Utf8ToWide(std::string("A\0B", 3)));
    EXPECT_EQ("", WideToUtf8(L""));
    EXPECT_EQ(L"", Utf8ToWide(""));
}

TEST(Utf8, InvalidInputBecomesReplacementCharactersNotFailure) {
    // C3 alone: a lead byte without its continuation; FF: never valid;
    // ED A0 80: an encoded surrogate.
    std::wstring wide = Utf8ToWide(
        "a\xC3"
        "b\xFF"
        "c");
    EXPECT_EQ(L"a\uFFFDb\uFFFDc", wide);
    EXPECT_NE(std::wstring::npos, Utf8ToWide("x\xED\xA0\x80y").find(L'\uFFFD'));
    // A lone high surrogate on the way out.
    EXPECT_EQ(
        "a\xEF\xBF\xBD"
        "b",
        WideToUtf8(L"a\xD800"
                   L"b"));
}

TEST(ConversionCodePage, ConvertsShortAndLongNamesBothWays) {
    ToConversionCodePage shortName(L"GetNativeSystemInfo");
    EXPECT_STREQ("GetNativeSystemInfo", shortName.c_str());
    std::wstring longWide(300, L'n');
    ToConversionCodePage longName(longWide.c_str());
    EXPECT_EQ(std::string(300, 'n'), longName.c_str());

    ToConversionCodePage missing(nullptr);
    EXPECT_EQ(nullptr, missing.c_str());

    auto wide = FromConversionCodePage("BxComn_Registry.cpp");
    ASSERT_NE(nullptr, wide);
    EXPECT_STREQ(L"BxComn_Registry.cpp", wide.get());
    EXPECT_EQ(nullptr, FromConversionCodePage(nullptr));
}

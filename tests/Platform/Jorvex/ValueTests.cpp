// Reading and writing scalars, and copying values between handles.
#include <gtest/gtest.h>

#include <cwchar>

#include "JorvexTestSupport.h"

using namespace JorvexTest;

TEST(JorvexValues, GetUIntAcceptsOnlyNonNegativeIntegersThatFit32Bits) {
    const struct {
        const wchar_t* text;
        uint32_t expected;
    } accepted[] = {
        {L"0", 0}, {L"4294967295", 4294967295u}, {L"3.0", 3}, {L"1e2", 100}, {L"-0.0", 0},
    };
    for (const auto& item : accepted) {
        SCOPED_TRACE(testing::Message() << item.expected);
        OwnedJson json = OwnedJson::Create(item.text);
        uint32_t number = 12345;
        EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetUInt(json.get(), &number));
        EXPECT_EQ(item.expected, number);
    }
    const wchar_t* refused[] = {L"4294967296", L"4294967295.5", L"1e10", L"-1", L"1.5",
                                L"\"7\"", L"true", L"null", L"[1]", L"{}"};
    for (const wchar_t* text : refused) {
        SCOPED_TRACE(testing::Message() << std::string(text, text + wcslen(text)));
        OwnedJson json = OwnedJson::Create(text);
        ASSERT_NE(StatusText(JORVEX_E_PARSE), Text(json.get()));
        uint32_t number = 12345;
        EXPECT_LT(VESK_PA_JsonValue_GetUInt(json.get(), &number), 0);
        EXPECT_EQ(12345u, number);
    }
    uint32_t number = 12345;
    OwnedJson empty = OwnedJson::Create(L"{}");
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_GetUInt(Key(empty.get(), L"n"), &number));
    EXPECT_EQ(12345u, number);
}

TEST(JorvexValues, GetStringFollowsTheTwoCallConvention) {
    OwnedJson json = OwnedJson::Create(L"\"h\u00e9llo\"");
    uint32_t length = 0;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetString(json.get(), nullptr, &length));
    EXPECT_EQ(5u, length);

    wchar_t buffer[8] = L"#######";
    length = 5;  // one short: no room for the terminator
    EXPECT_EQ(JORVEX_E_BUFFER_TOO_SMALL, VESK_PA_JsonValue_GetString(json.get(), buffer, &length));
    EXPECT_EQ(5u, length);
    EXPECT_STREQ(L"#######", buffer);

    length = 6;
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetString(json.get(), buffer, &length));
    EXPECT_EQ(5u, length);
    EXPECT_STREQ(L"h\u00e9llo", buffer);
    EXPECT_EQ(L'#', buffer[6]);
}

TEST(JorvexValues, EmptyStringNeedsRoomForItsTerminatorOnly) {
    OwnedJson json = OwnedJson::Create(L"\"\"");
    uint32_t length = 99;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetString(json.get(), nullptr, &length));
    EXPECT_EQ(0u, length);
    wchar_t buffer[2] = {L'#', L'#'};
    length = 0;
    EXPECT_EQ(JORVEX_E_BUFFER_TOO_SMALL, VESK_PA_JsonValue_GetString(json.get(), buffer, &length));
    EXPECT_EQ(L'#', buffer[0]);
    length = 1;
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetString(json.get(), buffer, &length));
    EXPECT_EQ(L'\0', buffer[0]);
    EXPECT_EQ(L'#', buffer[1]);
}

TEST(JorvexValues, GetStringRefusesOtherKindsWithoutWritingTheLength) {
    OwnedJson json = OwnedJson::Create(L"{\"n\":1,\"z\":null,\"b\":false,\"o\":{}}");
    for (const wchar_t* key : {L"n", L"z", L"b", L"o", L"missing"}) {
        uint32_t length = 77;
        EXPECT_LT(VESK_PA_JsonValue_GetString(Key(json.get(), key), nullptr, &length), 0);
        EXPECT_EQ(77u, length);
    }
}

// U+1F600 GRINNING FACE is D83D DE00 in UTF-16 and F0 9F 98 80 in UTF-8;
// U+10FFFF, the last code point, is DBFF DFFF.
TEST(JorvexValues, SurrogatePairsRoundTripAndLoneSurrogatesBecomeReplacements) {
    OwnedJson json = OwnedJson::Create();
    const wchar_t pairs[] = {L'a', 0xD83D, 0xDE00, 0xDBFF, 0xDFFF, L'z', 0};
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(json.get(), pairs));
    EXPECT_EQ(pairs, String(json.get()));
    EXPECT_EQ(L"\"" + std::wstring(pairs) + L"\"", Text(json.get()));

    // A high surrogate at the end, a low one alone, and a reversed pair.
    const wchar_t lone[] = {L'x', 0xDC00, L'y', 0xDE00, 0xD83D, L'z', 0xD800, 0};
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(json.get(), lone));
    EXPECT_EQ(L"x\uFFFDy\uFFFD\uFFFDz\uFFFD", String(json.get()));
}

TEST(JorvexValues, PutJsonHandleCopiesDeeplyAndOutlivesTheSource) {
    OwnedJson source = OwnedJson::Create(L"{\"list\":[1,{\"x\":\"y\"}]}");
    OwnedJson target = OwnedJson::Create(L"{\"keep\":1}");
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(Key(target.get(), L"copy"), source.get()));

    // Changes on either side stay on that side.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(Key(source.get(), L"list"), 0), 9));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(Key(Key(target.get(), L"copy"), L"new"), 1));
    EXPECT_EQ(L"{\"list\":[9,{\"x\":\"y\"}]}", Text(source.get()));

    source.reset();
    EXPECT_EQ(L"{\"keep\":1,\"copy\":{\"list\":[1,{\"x\":\"y\"}],\"new\":true}}", Text(target.get()));

    // A missing source copies nothing.
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_PutJsonHandle(target.get(), Key(target.get(), L"none")));
    EXPECT_EQ(L"{\"keep\":1,\"copy\":{\"list\":[1,{\"x\":\"y\"}],\"new\":true}}", Text(target.get()));
}

TEST(JorvexValues, PuttingATreeIntoItselfCopiesFirst) {
    OwnedJson json = OwnedJson::Create(L"{\"a\":[1]}");
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(Key(json.get(), L"self"), json.get()));
    EXPECT_EQ(L"{\"a\":[1],\"self\":{\"a\":[1]}}", Text(json.get()));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(Index(Key(json.get(), L"a"), 1), json.get()));
    EXPECT_EQ(L"{\"a\":[1,{\"a\":[1],\"self\":{\"a\":[1]}}],\"self\":{\"a\":[1]}}", Text(json.get()));

    // And the other way: a member replaces the root that holds it.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(json.get(), Key(json.get(), L"self")));
    EXPECT_EQ(L"{\"a\":[1]}", Text(json.get()));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(json.get(), json.get()));
    EXPECT_EQ(L"{\"a\":[1]}", Text(json.get()));
}

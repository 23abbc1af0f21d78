// JSON text in (Reader) and out (Writer).
#include <gtest/gtest.h>

#include "JorvexTestSupport.h"

using namespace JorvexTest;

TEST(JorvexReader, FailuresLeaveTheValueAsItWas) {
    const struct {
        const char* name;
        std::wstring text;
        JorvexStatus expected;
    } cases[] = {
        {"empty", L"", JORVEX_E_PARSE},
        {"blank", L"  \n", JORVEX_E_PARSE},
        {"unclosed", L"{\"a\":[1,2}", JORVEX_E_PARSE},
        {"trailing comma", L"[1,]", JORVEX_E_PARSE},
        {"trailing garbage", L"[1] x", JORVEX_E_PARSE},
        {"two values", L"{} {}", JORVEX_E_PARSE},
        {"single quotes", L"{'a':1}", JORVEX_E_PARSE},
        {"comment", L"[1 /* no */]", JORVEX_E_PARSE},
        {"escaped lone surrogate", L"\"\\ud800\"", JORVEX_E_PARSE},
        {"huge number", L"[1e400]", JORVEX_E_OUT_OF_RANGE},
        {"huge negative number", L"-1e400", JORVEX_E_OUT_OF_RANGE},
        {"257 arrays", NestedArrays(257), JORVEX_E_TOO_DEEP},
        {"257 objects", NestedObjects(257), JORVEX_E_TOO_DEEP},
        {"257 unclosed", std::wstring(257, L'['), JORVEX_E_TOO_DEEP},
    };
    OwnedJson json = OwnedJson::Create(L"{\"keep\":[1,\"x\"]}");
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        EXPECT_EQ(item.expected, VESK_PA_JsonValue_Reader(json.get(), item.text.c_str()));
        EXPECT_EQ(L"{\"keep\":[1,\"x\"]}", Text(json.get()));
    }
}

TEST(JorvexReader, NestingIsLimitedTo256ContainersCountedFromTheRoot) {
    OwnedJson json = OwnedJson::Create();
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), NestedArrays(256).c_str()));
    EXPECT_EQ(NestedArrays(256), Text(json.get()));

    // Objects and arrays count alike, and brackets inside strings do not count.
    std::wstring objects;
    for (int i = 0; i < 255; ++i) {
        objects += L"{\"[{\":";
    }
    objects += L"[\"[[[\"]" + std::wstring(255, L'}');
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), objects.c_str()));
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_Reader(json.get(), (L"{\"a\":" + objects + L"}").c_str()));

    // Read into a member, the text has one level less to use.
    OwnedJson holder = OwnedJson::Create(L"{}");
    const JsonHandle member = Key(holder.get(), L"m");
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_Reader(member, NestedArrays(256).c_str()));
    EXPECT_EQ(L"{}", Text(holder.get()));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(member, NestedArrays(255).c_str()));
    EXPECT_EQ(L"{\"m\":" + NestedArrays(255) + L"}", Text(holder.get()));
}

TEST(JorvexReader, ReadsEveryKindOfValue) {
    OwnedJson json = OwnedJson::Create();
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), L"[]"));
    EXPECT_EQ(0u, VESK_PA_JsonValue_GetSize(json.get()));
    EXPECT_EQ(L"[]", Text(json.get()));

    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), L" \t\r\n 42 "));
    uint32_t number = 0;
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetUInt(json.get(), &number));
    EXPECT_EQ(42u, number);

    // \u0000 is a legal character inside a string and keeps its place.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), L"\"a\\u0000b\""));
    EXPECT_EQ(std::wstring(L"a\0b", 3), String(json.get()));

    // Read through a view of a missing element, the value is created.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), L"{}"));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(Index(Key(json.get(), L"x"), 0), L"[true,null]"));
    EXPECT_EQ(L"{\"x\":[[true,null]]}", Text(json.get()));
}

TEST(JorvexWriter, RoundTripsTextIncludingCharactersBeyondTheBmp) {
    // U+1F600 is D83D DE00, U+4E2D (CJK "middle") a single unit, U+00E9 é.
    const std::wstring text =
        L"{\"z\":1,\"a\":[true,false,null,-5,0.5,\"\xD83D\xDE00 \x4E2D \xE9\"],"
        L"\"esc\":\"q\\\"b\\\\n\\n\\t\\u0001\",\"\xD83D\xDE00\":{}}";
    OwnedJson json = OwnedJson::Create(text.c_str());
    // Members keep their order; the control character stays escaped.
    EXPECT_EQ(text, Text(json.get()));
    EXPECT_EQ(L"\xD83D\xDE00 \x4E2D \xE9", String(Index(Key(json.get(), L"a"), 5)));
    EXPECT_EQ(L"{}", Text(Key(json.get(), L"\xD83D\xDE00")));

    OwnedJson again = OwnedJson::Create(Text(json.get()).c_str());
    EXPECT_EQ(text, Text(again.get()));
}

TEST(JorvexWriter, FollowsTheTwoCallConventionAndFailsOnMissingValues) {
    OwnedJson json = OwnedJson::Create(L"[ 1 , 2 ]");
    uint32_t length = 0;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Writer(json.get(), nullptr, &length));
    EXPECT_EQ(5u, length);
    wchar_t buffer[6] = L"#####";
    EXPECT_EQ(JORVEX_E_BUFFER_TOO_SMALL, VESK_PA_JsonValue_Writer(json.get(), buffer, &length));
    EXPECT_EQ(5u, length);
    EXPECT_STREQ(L"#####", buffer);
    length = 6;
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_Writer(json.get(), buffer, &length));
    EXPECT_STREQ(L"[1,2]", buffer);

    length = 6;
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_Writer(Index(json.get(), 2), buffer, &length));
    EXPECT_EQ(6u, length);
    EXPECT_STREQ(L"[1,2]", buffer);
}

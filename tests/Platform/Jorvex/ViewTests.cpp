// Member and element views: lookups of missing values, puts that create them,
// and views staying valid while their tree changes shape.
#include <gtest/gtest.h>

#include "JorvexTestSupport.h"

using namespace JorvexTest;

TEST(JorvexViews, MissingMemberViewIsWrittenAndAPutCreatesTheMember) {
    OwnedJson json = OwnedJson::Create(L"{\"a\":1}");
    JsonHandle view = kDefaultHandle;
    ASSERT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_GetAtKey(json.get(), &view, L"name"));
    EXPECT_TRUE(view != kDefaultHandle);
    EXPECT_EQ(StatusText(JORVEX_E_NOT_FOUND), String(view));

    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(view, L"n"));
    EXPECT_EQ(L"{\"a\":1,\"name\":\"n\"}", Text(json.get()));
    JsonHandle again = kDefaultHandle;
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetAtKey(json.get(), &again, L"name"));
    EXPECT_TRUE(again == view);
}

TEST(JorvexViews, MemberPutTurnsANullValueIntoAnObject) {
    OwnedJson json = OwnedJson::Create();
    EXPECT_EQ(L"null", Text(json.get()));
    JsonHandle view = kDefaultHandle;
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_GetAtKey(json.get(), &view, L"a"));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(view, 7));
    EXPECT_EQ(L"{\"a\":7}", Text(json.get()));
}

TEST(JorvexViews, ElementAtSizeAppendsAndBeyondSizeFails) {
    OwnedJson json = OwnedJson::Create(L"[1,2]");
    JsonHandle append = kDefaultHandle;
    JsonHandle beyond = kDefaultHandle;
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_GetAtIndex(json.get(), &append, 2));
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_GetAtIndex(json.get(), &beyond, 4));
    EXPECT_TRUE(beyond != kDefaultHandle);

    EXPECT_EQ(JORVEX_E_OUT_OF_RANGE, VESK_PA_JsonValue_PutUInt(beyond, 9));
    EXPECT_EQ(L"[1,2]", Text(json.get()));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(append, 3));
    EXPECT_EQ(3u, VESK_PA_JsonValue_GetSize(json.get()));
    // The view now designates an existing element: a second put replaces it.
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(append, 1));
    EXPECT_EQ(L"[1,2,true]", Text(json.get()));
}

TEST(JorvexViews, IndexZeroOfAMissingMemberCreatesAnArrayOfOne) {
    OwnedJson json = OwnedJson::Create(L"{}");
    const JsonHandle list = Key(json.get(), L"list");
    JsonHandle first = kDefaultHandle;
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_GetAtIndex(list, &first, 0));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(first, L"x"));
    EXPECT_EQ(L"{\"list\":[\"x\"]}", Text(json.get()));

    EXPECT_EQ(JORVEX_E_OUT_OF_RANGE, VESK_PA_JsonValue_PutString(Index(Key(json.get(), L"other"), 1), L"y"));
    EXPECT_EQ(L"{\"list\":[\"x\"]}", Text(json.get()));
}

TEST(JorvexViews, OnePutCreatesAWholeChainOfMissingValues) {
    OwnedJson json = OwnedJson::Create(L"{\"keep\":0}");
    const JsonHandle deep = Index(Key(Key(json.get(), L"a"), L"b"), 0);
    EXPECT_EQ(0u, VESK_PA_JsonValue_GetSize(Key(json.get(), L"a")));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(deep, 1));
    EXPECT_EQ(L"{\"keep\":0,\"a\":{\"b\":[true]}}", Text(json.get()));

    // A chain that cannot be completed creates none of it.
    const JsonHandle broken = Index(Index(Key(json.get(), L"c"), 0), 3);
    EXPECT_EQ(JORVEX_E_OUT_OF_RANGE, VESK_PA_JsonValue_PutBool(broken, 1));
    EXPECT_EQ(L"{\"keep\":0,\"a\":{\"b\":[true]}}", Text(json.get()));
}

TEST(JorvexViews, ValuesOfTheWrongKindAreRefused) {
    OwnedJson json = OwnedJson::Create(L"{\"s\":\"text\",\"o\":{},\"l\":[]}");
    const JsonHandle sentinel = {{7, 7, 7}};
    JsonHandle out = sentinel;
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, VESK_PA_JsonValue_GetAtKey(Key(json.get(), L"s"), &out, L"x"));
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, VESK_PA_JsonValue_GetAtKey(Key(json.get(), L"l"), &out, L"x"));
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, VESK_PA_JsonValue_GetAtIndex(Key(json.get(), L"o"), &out, 0));
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, VESK_PA_JsonValue_GetAtIndex(Key(json.get(), L"s"), &out, 0));
    EXPECT_TRUE(out == sentinel);

    // A view made while its parent was an object, used after the parent became
    // a string: gets find nothing, puts are refused.
    const JsonHandle member = Key(Key(json.get(), L"o"), L"m");
    const JsonHandle element = Index(Key(json.get(), L"l"), 0);
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(Key(json.get(), L"o"), L"now a string"));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(Key(json.get(), L"l"), L"{}"));
    EXPECT_EQ(StatusText(JORVEX_E_NOT_FOUND), Text(member));
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, VESK_PA_JsonValue_PutUInt(member, 1));
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, VESK_PA_JsonValue_PutUInt(element, 1));
    EXPECT_EQ(L"{\"s\":\"text\",\"o\":\"now a string\",\"l\":{}}", Text(json.get()));
}

TEST(JorvexViews, ViewsDesignatePathsAndSurviveGrowth) {
    OwnedJson json = OwnedJson::Create(L"[{\"name\":\"first\"}]");
    const JsonHandle name = Key(Index(json.get(), 0), L"name");
    // Growth reallocates the array and the object; the view holds no address.
    for (uint32_t i = 1; i <= 10000; ++i) {
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(json.get(), i), i));
    }
    for (int i = 0; i < 100; ++i) {
        const std::wstring key = L"k" + std::to_wstring(i);
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Key(Index(json.get(), 0), key.c_str()), i));
    }
    EXPECT_EQ(L"first", String(name));
    EXPECT_EQ(10001u, VESK_PA_JsonValue_GetSize(json.get()));

    // A view follows its path, not the value that used to be there.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), L"[{\"name\":\"second\"}]"));
    EXPECT_EQ(L"second", String(name));
}

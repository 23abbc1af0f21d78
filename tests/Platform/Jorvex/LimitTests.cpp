// Large and deep values: nothing may crash, overflow the stack or nest
// deeper than the library's limit.
#include <gtest/gtest.h>

#include "JorvexTestSupport.h"

using namespace JorvexTest;

TEST(JorvexLimits, TenMegabyteString) {
    std::wstring big(10 * 1024 * 1024, L'a');
    big.back() = 0x4E2D;
    OwnedJson json = OwnedJson::Create();
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(json.get(), big.c_str()));
    EXPECT_TRUE(String(json.get()) == big);
    uint32_t length = 0;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Writer(json.get(), nullptr, &length));
    EXPECT_EQ(big.size() + 2, length);
}

TEST(JorvexLimits, MillionElementArray) {
    std::wstring text = L"[";
    for (uint32_t i = 0; i < 1000000; ++i) {
        text += i == 0 ? L"0" : i == 999999 ? L",7" : L",0";
    }
    text += L"]";
    OwnedJson json = OwnedJson::Create(text.c_str());
    ASSERT_EQ(1000000u, VESK_PA_JsonValue_GetSize(json.get()));
    uint32_t number = 0;
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetUInt(Index(json.get(), 999999), &number));
    EXPECT_EQ(7u, number);
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(json.get(), 1000000), 8));
    EXPECT_EQ(text.substr(0, text.size() - 1) + L",8]", Text(json.get()));
}

TEST(JorvexLimits, DeepestTreeIsCopiedWrittenAndFreed) {
    OwnedJson deep = OwnedJson::Create(NestedObjects(256).c_str());
    ASSERT_EQ(NestedObjects(256), Text(deep.get()));
    OwnedJson copy = OwnedJson::Create();
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(copy.get(), deep.get()));
    deep.reset();
    EXPECT_EQ(NestedObjects(256), Text(copy.get()));

    // One level further down it would be 257 deep.
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_PutJsonHandle(Key(copy.get(), L"b"), copy.get()));
    EXPECT_EQ(NestedObjects(256), Text(copy.get()));
    copy.reset();
}

TEST(JorvexLimits, RepeatedSelfInsertionStopsAtTheDepthLimit) {
    OwnedJson json = OwnedJson::Create(L"[]");
    JorvexStatus status = JORVEX_OK;
    int rounds = 0;
    while (status == JORVEX_OK && rounds < 1000) {
        status = VESK_PA_JsonValue_PutJsonHandle(Index(json.get(), 0), json.get());
        ++rounds;
    }
    EXPECT_EQ(JORVEX_E_TOO_DEEP, status);
    EXPECT_EQ(256, rounds);
    EXPECT_EQ(NestedArrays(256), Text(json.get()));
}

TEST(JorvexLimits, ViewsEndAtTheDepthLimit) {
    OwnedJson json = OwnedJson::Create();
    JsonHandle view = json.get();
    for (int i = 0; i < JORVEX_MAX_DEPTH; ++i) {
        ASSERT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_GetAtIndex(view, &view, 0));
    }
    // A scalar 256 steps down sits in 256 containers: allowed; a container is not.
    const JsonHandle sentinel = view;
    JsonHandle out = sentinel;
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_GetAtKey(view, &out, L"a"));
    EXPECT_TRUE(out == sentinel);
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_Reader(view, L"[]"));
    EXPECT_EQ(L"null", Text(json.get()));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(view, 1));
    EXPECT_EQ(std::wstring(256, L'[') + L"1" + std::wstring(256, L']'), Text(json.get()));
}

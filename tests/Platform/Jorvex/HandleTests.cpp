// Handle validity, release, sharing and the lifetime of trees.
#include <gtest/gtest.h>

#include <vector>

#include "JorvexTestSupport.h"

using namespace JorvexTest;

namespace {

struct NamedHandle {
    const char* name;
    JsonHandle handle;
};

// Calls every function with `bad` and checks that each refuses it without
// writing its out-parameters or touching `good`.
void ExpectRefusedEverywhere(JsonHandle bad, JsonHandle good) {
    const std::wstring goodText = Text(good);
    const JsonHandle sentinel = {{7, 7, 7}};
    JsonHandle out = sentinel;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_ShareJsonHandle(bad, &out));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetAtKey(bad, &out, L"a"));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetAtIndex(bad, &out, 0));
    EXPECT_TRUE(out == sentinel);
    JsonHandle copy = bad;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_DestroyJsonHandle(&copy));
    EXPECT_TRUE(copy == bad);

    EXPECT_EQ(0u, VESK_PA_JsonValue_GetSize(bad));
    uint32_t number = 99;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetUInt(bad, &number));
    EXPECT_EQ(99u, number);
    wchar_t buffer[8] = L"xxxxxxx";
    uint32_t length = 8;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetString(bad, buffer, &length));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_Writer(bad, buffer, &length));
    EXPECT_EQ(8u, length);
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetString(bad, nullptr, &length));
    EXPECT_EQ(8u, length);
    EXPECT_STREQ(L"xxxxxxx", buffer);

    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutUInt(bad, 1));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutString(bad, L"s"));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutBool(bad, 1));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutJsonHandle(bad, good));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutJsonHandle(good, bad));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_Reader(bad, L"[1]"));
    EXPECT_EQ(goodText, Text(good));
}

}  // namespace

TEST(JorvexHandles, EveryFunctionRefusesHandlesItDidNotIssueOrThatWereReleased) {
    OwnedJson good = OwnedJson::Create(L"{\"a\":[1,2]}");
    const uint32_t liveBefore = VESK_PA_JsonValue_GetLiveHandleCount();

    OwnedJson released = OwnedJson::Create(L"{\"a\":[1,2]}");
    const JsonHandle member = Key(released.get(), L"a");
    const JsonHandle element = Index(member, 1);
    const JsonHandle stale = released.reset();

    // A real handle with one word changed, as from a torn or mistyped copy.
    JsonHandle torn = good.get();
    torn.Words[1] ^= 1;
    JsonHandle tornView = Key(good.get(), L"a");
    tornView.Words[2] += 1;

    const std::vector<NamedHandle> cases = {
        {"default", kDefaultHandle},
        {"zeros", {{0, 0, 0}}},
        {"ones", {{~0ull, ~0ull, ~0ull}}},
        {"garbage", {{0xDEADBEEFCAFEF00Dull, 0x0123456789ABCDEFull, 42}}},
        {"released owner", stale},
        {"view of released tree", member},
        {"element view of released tree", element},
        {"torn owner", torn},
        {"torn view", tornView},
    };
    for (const NamedHandle& bad : cases) {
        SCOPED_TRACE(bad.name);
        ExpectRefusedEverywhere(bad.handle, good.get());
    }
    EXPECT_EQ(liveBefore, VESK_PA_JsonValue_GetLiveHandleCount());
}

TEST(JorvexHandles, NullPointersAreBadArguments) {
    OwnedJson json = OwnedJson::Create(L"\"text\"");
    JsonHandle out = kDefaultHandle;
    uint32_t length = 4;
    wchar_t buffer[4] = {};
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_CreateJsonHandle(nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_ShareJsonHandle(json.get(), nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_DestroyJsonHandle(nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_GetAtKey(json.get(), nullptr, L"a"));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_GetAtKey(json.get(), &out, nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_GetAtIndex(json.get(), nullptr, 0));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_GetUInt(json.get(), nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_GetString(json.get(), buffer, nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_GetString(json.get(), nullptr, nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_PutString(json.get(), nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_Reader(json.get(), nullptr));
    EXPECT_EQ(JORVEX_E_BAD_ARGUMENT, VESK_PA_JsonValue_Writer(json.get(), buffer, nullptr));
    EXPECT_TRUE(out == kDefaultHandle);
    EXPECT_EQ(4u, length);
    EXPECT_EQ(L"\"text\"", Text(json.get()));
}

TEST(JorvexHandles, DestroyReleasesOwnersOnlyAndTheOldWordsStayUnknown) {
    const uint32_t liveBefore = VESK_PA_JsonValue_GetLiveHandleCount();
    JsonHandle handle = kDefaultHandle;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_CreateJsonHandle(&handle));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Key(handle, L"a"), 1));
    EXPECT_EQ(liveBefore + 1, VESK_PA_JsonValue_GetLiveHandleCount());

    // Views are not owners: they neither count nor can be released.
    JsonHandle view = Key(handle, L"a");
    const JsonHandle viewBefore = view;
    EXPECT_EQ(liveBefore + 1, VESK_PA_JsonValue_GetLiveHandleCount());
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_DestroyJsonHandle(&view));
    EXPECT_TRUE(view == viewBefore);
    EXPECT_EQ(L"1", Text(view));

    const JsonHandle copy = handle;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_DestroyJsonHandle(&handle));
    EXPECT_TRUE(handle == kDefaultHandle);
    EXPECT_EQ(liveBefore, VESK_PA_JsonValue_GetLiveHandleCount());

    // Later handles never take over the released words.
    std::vector<OwnedJson> later;
    for (int i = 0; i < 100; ++i) {
        later.push_back(OwnedJson::Create());
    }
    JsonHandle again = copy;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_DestroyJsonHandle(&again));
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutUInt(copy, 1));
    EXPECT_EQ(liveBefore + 100, VESK_PA_JsonValue_GetLiveHandleCount());
}

TEST(JorvexHandles, SharedHandlesSeeEachOthersWritesAndKeepTheTreeAlive) {
    OwnedJson first = OwnedJson::Create(L"{\"a\":1}");
    OwnedJson second;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(first.get(), second.put()));
    const JsonHandle view = Key(first.get(), L"a");

    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(Key(second.get(), L"b"), L"x"));
    EXPECT_EQ(L"{\"a\":1,\"b\":\"x\"}", Text(first.get()));

    first.reset();
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(view, 2));
    EXPECT_EQ(L"{\"a\":2,\"b\":\"x\"}", Text(second.get()));

    second.reset();
    uint32_t number = 0;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetUInt(view, &number));
}

TEST(JorvexHandles, SharingAMemberOwnsThatMemberOfTheSameTree) {
    OwnedJson root = OwnedJson::Create(L"{\"list\":[1],\"other\":true}");
    OwnedJson list;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(Key(root.get(), L"list"), list.put()));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(list.get(), 1), 2));
    EXPECT_EQ(L"{\"list\":[1,2],\"other\":true}", Text(root.get()));

    // The member handle alone keeps the whole tree, views included.
    const JsonHandle other = Key(root.get(), L"other");
    root.reset();
    EXPECT_EQ(L"[1,2]", Text(list.get()));
    EXPECT_EQ(L"true", Text(other));

    // A shared view of a missing member designates it until a put creates it.
    OwnedJson fresh = OwnedJson::Create(L"{}");
    OwnedJson missing;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(Key(fresh.get(), L"m"), missing.put()));
    EXPECT_EQ(StatusText(JORVEX_E_NOT_FOUND), Text(missing.get()));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(missing.get(), 0));
    EXPECT_EQ(L"{\"m\":false}", Text(fresh.get()));
}

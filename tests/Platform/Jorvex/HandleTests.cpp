// Handles and views: validity, release, sharing, the lifetime of trees, and
// puts through views of values that do not exist yet.
#include <gtest/gtest.h>

#include "JorvexTestSupport.h"

using namespace JorvexTest;

TEST(JorvexHandles, EveryFunctionRefusesHandlesItDidNotIssueOrThatWereReleased) {
    OwnedJson good(L"{\"a\":[1,2]}");
    const uint32_t liveBefore = VESK_PA_JsonValue_GetLiveHandleCount();
    OwnedJson released(L"{\"a\":[1,2]}");
    const JsonHandle member = Key(released.get(), L"a"), element = Index(member, 1);
    const JsonHandle stale = released.reset();
    // Real handles with one word changed, as from a torn or mistyped copy.
    JsonHandle torn = good.get();
    torn.Words[1] ^= 1;
    JsonHandle tornView = Key(good.get(), L"a");
    tornView.Words[2] += 1;
    const std::pair<const char*, JsonHandle> cases[] = {
        {"default", kDefaultHandle},
        {"zeros", {{0, 0, 0}}},
        {"ones", {{~0ull, ~0ull, ~0ull}}},
        {"garbage", {{0xDEADBEEFCAFEF00Dull, 0x0123456789ABCDEFull, 42}}},
        {"released owner", stale},
        {"view of released tree", member},
        {"element view of released tree", element},
        {"torn owner", torn},
        {"torn view", tornView}};
    for (const auto& [name, bad] : cases) {
        SCOPED_TRACE(name);
        // Outputs stay as they were, and `good` is not touched.
        const JsonHandle sentinel = {{7, 7, 7}};
        JsonHandle out = sentinel, copy = bad;
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_ShareJsonHandle(bad, &out));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetAtKey(bad, &out, L"a"));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetAtIndex(bad, &out, 0));
        EXPECT_TRUE(out == sentinel);
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_DestroyJsonHandle(&copy));
        EXPECT_TRUE(copy == bad);
        EXPECT_EQ(0u, VESK_PA_JsonValue_GetSize(bad));
        uint32_t number = 99, length = 8;
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetUInt(bad, &number));
        EXPECT_EQ(99u, number);
        wchar_t buffer[8] = L"xxxxxxx";
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetString(bad, buffer, &length));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_GetString(bad, nullptr, &length));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_Writer(bad, buffer, &length));
        EXPECT_EQ(8u, length);
        EXPECT_STREQ(L"xxxxxxx", buffer);
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutUInt(bad, 1));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutString(bad, L"s"));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutBool(bad, 1));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutJsonHandle(bad, good.get()));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutJsonHandle(good.get(), bad));
        EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_Reader(bad, L"[1]"));
        EXPECT_EQ(L"{\"a\":[1,2]}", Text(good.get()));
    }
    EXPECT_EQ(liveBefore, VESK_PA_JsonValue_GetLiveHandleCount());
}

TEST(JorvexHandles, NullPointersAreBadArguments) {
    OwnedJson json(L"\"text\"");
    JsonHandle out = kDefaultHandle;
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
    EXPECT_EQ(L"\"text\"", Text(json.get()));
}

TEST(JorvexHandles, OwnersCountUntilReleasedAndAnyOneKeepsTheWholeTree) {
    const uint32_t liveBefore = VESK_PA_JsonValue_GetLiveHandleCount();
    JsonHandle root = kDefaultHandle;
    OwnedJson second, list, missing;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_CreateJsonHandle(&root));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(root, L"{\"list\":[1],\"other\":true}"));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(root, second.put()));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(Key(root, L"list"), list.put()));
    // A share of a missing member designates it until a put creates it.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(Key(root, L"b"), missing.put()));
    EXPECT_EQ(StatusText(JORVEX_E_NOT_FOUND), Text(missing.get()));
    // Views are not owners: they neither count nor can be released.
    JsonHandle other = Key(root, L"other");
    const JsonHandle otherBefore = other;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_DestroyJsonHandle(&other));
    EXPECT_TRUE(other == otherBefore);
    EXPECT_EQ(liveBefore + 4, VESK_PA_JsonValue_GetLiveHandleCount());
    // Writes through one owner are seen through the others.
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(list.get(), 1), 2));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(missing.get(), 0));
    EXPECT_EQ(L"{\"list\":[1,2],\"other\":true,\"b\":false}", Text(second.get()));

    const JsonHandle released = root;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_DestroyJsonHandle(&root));
    EXPECT_TRUE(root == kDefaultHandle);
    second.reset();
    missing.reset();
    EXPECT_EQ(liveBefore + 1, VESK_PA_JsonValue_GetLiveHandleCount());
    // The member's owner alone keeps the tree, views of other members included.
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(other, 3));
    EXPECT_EQ(L"3", Text(other));
    EXPECT_EQ(L"[1,2]", Text(list.get()));
    list.reset();
    EXPECT_EQ(StatusText(JORVEX_E_BAD_HANDLE), Text(other));
    // Handles made later never take over released words.
    OwnedJson later[100];
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutUInt(released, 1));
    EXPECT_EQ(liveBefore + 100, VESK_PA_JsonValue_GetLiveHandleCount());
}

TEST(JorvexViews, LookupsAnswerAViewUnlessTheValueIsOfTheWrongKind) {
    const wchar_t* text = L"{\"s\":\"text\",\"o\":{\"k\":1},\"l\":[2],\"z\":null}";
    OwnedJson json(text);
    const struct {
        const wchar_t *member, *key;  // a null key looks up element 0
        JorvexStatus status;
    } cases[] = {{L"o", L"k", JORVEX_OK},
                 {L"o", L"x", JORVEX_E_NOT_FOUND},
                 {L"z", L"x", JORVEX_E_NOT_FOUND},
                 {L"none", L"x", JORVEX_E_NOT_FOUND},
                 {L"s", L"x", JORVEX_E_WRONG_TYPE},
                 {L"l", L"x", JORVEX_E_WRONG_TYPE},
                 {L"l", nullptr, JORVEX_OK},
                 {L"z", nullptr, JORVEX_E_NOT_FOUND},
                 {L"s", nullptr, JORVEX_E_WRONG_TYPE},
                 {L"o", nullptr, JORVEX_E_WRONG_TYPE}};
    for (const auto& item : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &item - cases);
        const JsonHandle parent = Key(json.get(), item.member);
        JsonHandle out = {{7, 7, 7}};
        EXPECT_EQ(item.status, item.key ? VESK_PA_JsonValue_GetAtKey(parent, &out, item.key)
                                        : VESK_PA_JsonValue_GetAtIndex(parent, &out, 0));
        // Missing values still get a view; values of the wrong kind none.
        EXPECT_EQ(item.status == JORVEX_E_WRONG_TYPE, out.Words[0] == 7);
        if (item.status != JORVEX_E_NOT_FOUND) continue;
        uint32_t number = 5;  // gets through a view of a missing value fail
        EXPECT_TRUE(VESK_PA_JsonValue_GetUInt(out, &number) == JORVEX_E_NOT_FOUND && number == 5);
        EXPECT_EQ(StatusText(JORVEX_E_NOT_FOUND), String(out));
    }
    // Neither lookups nor gets create anything.
    EXPECT_EQ(text, Text(json.get()));
    // Views made while their parent was a container, used after it changed kind.
    const JsonHandle member = Key(Key(json.get(), L"o"), L"m"), element = Index(Key(json.get(), L"l"), 0);
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), L"{\"o\":\"s\",\"l\":{}}"));
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, VESK_PA_JsonValue_PutUInt(member, 1));
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, VESK_PA_JsonValue_PutUInt(element, 1));
    EXPECT_EQ(L"{\"o\":\"s\",\"l\":{}}", Text(json.get()));
}

TEST(JorvexViews, APutThroughAViewCreatesWhatIsMissingOrChangesNothing) {
    const struct {
        const wchar_t* before;
        JsonHandle (*view)(JsonHandle root);
        JorvexStatus status;
        const wchar_t* after;
    } cases[] = {
        {L"{\"a\":1}", [](JsonHandle r) { return Key(r, L"b"); }, JORVEX_OK, L"{\"a\":1,\"b\":7}"},
        {L"null", [](JsonHandle r) { return Key(r, L"a"); }, JORVEX_OK, L"{\"a\":7}"},
        {L"[1,2]", [](JsonHandle r) { return Index(r, 2); }, JORVEX_OK, L"[1,2,7]"},
        {L"[1,2]", [](JsonHandle r) { return Index(r, 3); }, JORVEX_E_OUT_OF_RANGE, L"[1,2]"},
        {L"{}", [](JsonHandle r) { return Index(Key(r, L"l"), 0); }, JORVEX_OK, L"{\"l\":[7]}"},
        {L"{}", [](JsonHandle r) { return Index(Key(r, L"l"), 1); }, JORVEX_E_OUT_OF_RANGE, L"{}"},
        {L"{}", [](JsonHandle r) { return Index(Key(Key(r, L"a"), L"b"), 0); }, JORVEX_OK, L"{\"a\":{\"b\":[7]}}"},
        {L"{}", [](JsonHandle r) { return Index(Index(Key(r, L"c"), 0), 3); }, JORVEX_E_OUT_OF_RANGE, L"{}"}};
    for (const auto& item : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &item - cases);
        OwnedJson json(item.before);
        const JsonHandle view = item.view(json.get());
        // Twice: the second put must replace what the first created, not add more.
        EXPECT_EQ(item.status, VESK_PA_JsonValue_Reader(view, L"6"));
        EXPECT_EQ(item.status, VESK_PA_JsonValue_PutUInt(view, 7));
        EXPECT_EQ(item.after, Text(json.get()));
    }
}

TEST(JorvexViews, ViewsFollowTheirPathThroughGrowthAndReplacement) {
    OwnedJson json(L"[{\"name\":\"first\"}]");
    const JsonHandle name = Key(Index(json.get(), 0), L"name");
    // Growth moves the array's and the object's elements; a view holds no address.
    for (uint32_t i = 1; i <= 1000; ++i) {
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(json.get(), i), i));
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Key(Index(json.get(), 0), std::to_wstring(i).c_str()), i));
    }
    EXPECT_EQ(L"first", String(name));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), L"[{\"name\":\"second\"}]"));
    EXPECT_EQ(L"second", String(name));
}

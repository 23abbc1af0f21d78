// Values: GetUInt, the two-call text functions, copies, JSON text in and out,
// UTF-16 text, the depth limit, a big value and concurrent use.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "JorvexTestSupport.h"

using namespace JorvexTest;

TEST(JorvexValues, GetUIntAcceptsOnlyNonNegativeIntegersThatFit32Bits) {
    // 12345: refused, the output left as it was.
    const std::pair<const wchar_t*, uint32_t> cases[] = {{L"0", 0},
                                                         {L"4294967295", 4294967295u},
                                                         {L"3.0", 3},
                                                         {L"1e2", 100},
                                                         {L"-0.0", 0},
                                                         {L"4294967296", 12345},
                                                         {L"4294967295.5", 12345},
                                                         {L"1e10", 12345},
                                                         {L"-1", 12345},
                                                         {L"1.5", 12345},
                                                         {L"\"7\"", 12345},
                                                         {L"true", 12345},
                                                         {L"null", 12345},
                                                         {L"[1]", 12345},
                                                         {L"{}", 12345}};
    OwnedJson json;
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(testing::Message() << text);
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), text));
        uint32_t number = 12345;
        const JorvexStatus status = VESK_PA_JsonValue_GetUInt(json.get(), &number);
        EXPECT_EQ(expected != 12345, status == JORVEX_OK) << status;
        EXPECT_LE(status, JORVEX_OK);
        EXPECT_EQ(expected, number);
    }
}

// Capacity below length + 1 fails and leaves the buffer alone; exactly enough succeeds.
TEST(JorvexValues, GetStringAndWriterFollowTheTwoCallConvention) {
    const struct {
        JorvexStatus(JORVEX_CALL* function)(JsonHandle, wchar_t*, uint32_t*);
        const wchar_t* json;
        const wchar_t* expected;  // null: refused, the length left as it was
    } cases[] = {{VESK_PA_JsonValue_GetString, L"\"h\u00e9llo\"", L"h\u00e9llo"},
                 {VESK_PA_JsonValue_GetString, L"\"\"", L""},
                 {VESK_PA_JsonValue_Writer, L"[ 1 , {} ]", L"[1,{}]"},
                 {VESK_PA_JsonValue_GetString, L"1", nullptr},
                 {VESK_PA_JsonValue_GetString, L"false", nullptr},
                 {VESK_PA_JsonValue_GetString, L"null", nullptr},
                 {VESK_PA_JsonValue_GetString, L"{}", nullptr}};
    for (const auto& item : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &item - cases);
        OwnedJson json(item.json);
        uint32_t length = 99;
        const JorvexStatus status = item.function(json.get(), nullptr, &length);
        if (item.expected == nullptr) {
            EXPECT_TRUE(status < 0 && length == 99) << status;
            continue;
        }
        const uint32_t size = static_cast<uint32_t>(wcslen(item.expected));
        ASSERT_EQ(JORVEX_OK, status);
        EXPECT_EQ(size, length);
        std::wstring buffer(size + 2, L'#');
        for (uint32_t capacity : {size / 2, size}) {
            length = capacity;
            EXPECT_EQ(JORVEX_E_BUFFER_TOO_SMALL, item.function(json.get(), buffer.data(), &length));
            EXPECT_EQ(size, length);
            EXPECT_EQ(std::wstring(size + 2, L'#'), buffer);
        }
        length = size + 1;
        EXPECT_EQ(JORVEX_OK, item.function(json.get(), buffer.data(), &length));
        EXPECT_EQ(size, length);
        EXPECT_EQ(std::wstring(item.expected) + L'\0' + L'#', buffer);
    }
}

TEST(JorvexValues, PutJsonHandleCopiesDeeply) {
    OwnedJson source(L"{\"list\":[1,{\"x\":\"y\"}]}");
    OwnedJson target(L"{\"keep\":1}");
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(Key(target.get(), L"copy"), source.get()));
    // Changes on either side stay on that side, and the copy outlives its source.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(Key(source.get(), L"list"), 0), 9));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(Key(Key(target.get(), L"copy"), L"new"), 1));
    EXPECT_EQ(L"{\"list\":[9,{\"x\":\"y\"}]}", Text(source.get()));
    source.reset();
    const std::wstring copy = L"{\"list\":[1,{\"x\":\"y\"}],\"new\":true}";
    EXPECT_EQ(L"{\"keep\":1,\"copy\":" + copy + L"}", Text(target.get()));
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_PutJsonHandle(target.get(), Key(target.get(), L"none")));
    // A member put over the root that holds it.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(target.get(), Key(target.get(), L"copy")));
    EXPECT_EQ(copy, Text(target.get()));
}

TEST(JorvexReader, FailuresLeaveTheValueAsItWas) {
    const std::pair<std::wstring, JorvexStatus> cases[] = {{L"", JORVEX_E_PARSE},
                                                           {L"  \n", JORVEX_E_PARSE},
                                                           {L"{\"a\":[1,2}", JORVEX_E_PARSE},
                                                           {L"[1,]", JORVEX_E_PARSE},
                                                           {L"[1] x", JORVEX_E_PARSE},
                                                           {L"{} {}", JORVEX_E_PARSE},
                                                           {L"{'a':1}", JORVEX_E_PARSE},
                                                           {L"[1 /* no */]", JORVEX_E_PARSE},
                                                           {L"\"\\ud800\"", JORVEX_E_PARSE},
                                                           {L"[1e400]", JORVEX_E_OUT_OF_RANGE},
                                                           {L"-1e400", JORVEX_E_OUT_OF_RANGE},
                                                           {NestedArrays(257), JORVEX_E_TOO_DEEP},
                                                           {std::wstring(257, L'['), JORVEX_E_TOO_DEEP}};
    OwnedJson json(L"{\"keep\":[1,\"x\"]}");
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(testing::Message() << text);
        EXPECT_EQ(expected, VESK_PA_JsonValue_Reader(json.get(), text.c_str()));
        EXPECT_EQ(L"{\"keep\":[1,\"x\"]}", Text(json.get()));
    }
}

TEST(JorvexReader, NestingIsLimitedTo256ContainersCountedFromTheRoot) {
    // 255 arrays around an object: objects count, brackets inside strings do not.
    std::wstring deepest = NestedArrays(255);
    deepest.insert(255, L"{\"[{\":\"[[\"}");
    OwnedJson json;
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), deepest.c_str()));
    EXPECT_EQ(deepest, Text(json.get()));
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_Reader(json.get(), (L"{\"a\":" + deepest + L"}").c_str()));
    // Read into a member, the text has one level less to use.
    OwnedJson holder(L"{}");
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_Reader(Key(holder.get(), L"m"), NestedArrays(256).c_str()));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(Key(holder.get(), L"m"), NestedArrays(255).c_str()));
    EXPECT_EQ(L"{\"m\":" + NestedArrays(255) + L"}", Text(holder.get()));
}

// U+1F600 is D83D DE00 in UTF-16, U+10FFFF (the last code point) DBFF DFFF.
TEST(JorvexText, CharactersBeyondTheBmpRoundTripAndLoneSurrogatesBecomeReplacements) {
    const std::wstring text =
        L"{\"z\":1,\"a\":[true,false,null,-5,0.5,\"\xD83D\xDE00 \xDBFF\xDFFF \x4E2D \xE9\"],"
        L"\"esc\":\"q\\\"b\\\\n\\n\\t\\u0001\\u0000.\",\"\xD83D\xDE00\":{}}";
    OwnedJson json(text.c_str());
    // Members keep their order, control characters stay escaped, \u0000 keeps its place.
    EXPECT_EQ(text, Text(json.get()));
    EXPECT_EQ(L"\xD83D\xDE00 \xDBFF\xDFFF \x4E2D \xE9", String(Index(Key(json.get(), L"a"), 5)));
    EXPECT_EQ(std::wstring(L"q\"b\\n\n\t\x01\0.", 10), String(Key(json.get(), L"esc")));
    EXPECT_EQ(L"{}", Text(Key(json.get(), L"\xD83D\xDE00")));
    // A low surrogate alone, a lone high one before a pair, and one at the end.
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(json.get(), L"x\xDC00y\xD83D\xD83D\xDE00z\xD800"));
    EXPECT_EQ(L"x\uFFFDy\uFFFD\xD83D\xDE00z\uFFFD", String(json.get()));
}

TEST(JorvexLimits, NothingNestsDeeperThan256Containers) {
    // Each round puts the tree into its own element, one level deeper than before.
    OwnedJson json(L"[]");
    JorvexStatus status = JORVEX_OK;
    int rounds = 0;
    while (status == JORVEX_OK && ++rounds <= 1000) {
        status = VESK_PA_JsonValue_PutJsonHandle(Index(json.get(), 0), json.get());
    }
    EXPECT_EQ(JORVEX_E_TOO_DEEP, status);
    EXPECT_EQ(256, rounds);
    EXPECT_EQ(NestedArrays(256), Text(json.get()));
    // A scalar 256 steps down sits in 256 containers; a container there would not.
    JsonHandle view = json.get(), out = kDefaultHandle;
    for (int i = 0; i < JORVEX_MAX_DEPTH; ++i) view = Index(view, 0);
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_GetAtKey(view, &out, L"a"));
    EXPECT_TRUE(out == kDefaultHandle);
    EXPECT_EQ(JORVEX_E_TOO_DEEP, VESK_PA_JsonValue_Reader(view, L"[]"));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(view, 1));
    EXPECT_EQ(std::wstring(256, L'[') + L"1" + std::wstring(256, L']'), Text(json.get()));
}

TEST(JorvexLimits, MillionElementsAndATenMegabyteString) {
    std::wstring big(10 * 1024 * 1024, L'a');
    big.back() = 0x4E2D;
    std::wstring text = L"[0";
    for (uint32_t i = 1; i < 999999; ++i) text += L",0";
    text += L",\"" + big + L"\"]";
    OwnedJson json(text.c_str());
    ASSERT_EQ(1000000u, VESK_PA_JsonValue_GetSize(json.get()));
    EXPECT_TRUE(String(Index(json.get(), 999999)) == big);
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(json.get(), 1000000), 8));
    EXPECT_TRUE(Text(json.get()) == text.substr(0, text.size() - 1) + L",8]");
}

TEST(JorvexThreads, ConcurrentCreatePutShareAndDestroy) {
    const uint32_t liveBefore = VESK_PA_JsonValue_GetLiveHandleCount();
    OwnedJson common(L"{}");
    std::atomic<int> failures{0}, ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (++ready; ready < 8;) std::this_thread::yield();  // all start together
            const JsonHandle mine = Key(common.get(), std::to_wstring(t).c_str());
            for (uint32_t i = 0; i < 300; ++i) {
                OwnedJson own(L"{\"n\":[1,2,3]}"), shared;
                bool ok = VESK_PA_JsonValue_ShareJsonHandle(Key(own.get(), L"n"), shared.put()) == JORVEX_OK &&
                          VESK_PA_JsonValue_PutUInt(Index(shared.get(), 3), i) == JORVEX_OK;
                own.reset();  // the share alone keeps the tree now
                ok = ok && Text(shared.get()) == L"[1,2,3," + std::to_wstring(i) + L"]" &&
                     VESK_PA_JsonValue_PutJsonHandle(Index(mine, i), shared.get()) == JORVEX_OK;
                if (!ok) ++failures;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(0, failures.load());
    for (int t = 0; t < 8; ++t) {
        EXPECT_EQ(300u, VESK_PA_JsonValue_GetSize(Key(common.get(), std::to_wstring(t).c_str())));
    }
    EXPECT_EQ(liveBefore + 1, VESK_PA_JsonValue_GetLiveHandleCount());
}

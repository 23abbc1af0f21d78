// The JSON library as the module uses it: handle ownership and release,
// views and the puts that create what they name, numbers, strings, bools,
// copies, JSON text in and out, and the live-handle count.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "Jorvex/JsonValue.h"

namespace {

bool operator==(const JsonHandle& a, const JsonHandle& b) { return !std::memcmp(&a, &b, sizeof a); }

constexpr JsonHandle kDefaultHandle = JSON_HANDLE_DEFAULT_INIT;
constexpr JsonHandle kSentinel = {{7, 7, 7}};

// Owns one owning handle: a new tree, read from `text` when given, or none
// yet, for an output.
class OwnedJson {
public:
    explicit OwnedJson(const wchar_t* text = L"null", bool create = true) {
        if (create) VESK_PA_JsonValue_CreateJsonHandle(&handle);
        if (create) VESK_PA_JsonValue_Reader(handle, text);
    }
    ~OwnedJson() { VESK_PA_JsonValue_DestroyJsonHandle(&handle); }
    JsonHandle get() const { return handle; }
    // Releases now and answers the old words, for tests of stale use.
    JsonHandle reset() {
        const JsonHandle old = handle;
        VESK_PA_JsonValue_DestroyJsonHandle(&handle);
        return old;
    }
    JsonHandle handle = kDefaultHandle;
};

std::wstring StatusText(JorvexStatus status) { return L"<status " + std::to_wstring(status) + L">"; }

// Runs a two-call text function; a failure comes back as "<status N>".
std::wstring TwoCall(JorvexStatus(JORVEX_CALL* function)(JsonHandle, wchar_t*, uint32_t*), JsonHandle value) {
    uint32_t length = 0;
    JorvexStatus status = function(value, nullptr, &length);
    std::wstring text(++length, L'\0');  // the capacity, terminator included
    if (status == JORVEX_OK) status = function(value, text.data(), &length);
    return status == JORVEX_OK ? text.substr(0, length) : StatusText(status);
}
std::wstring Text(JsonHandle value) { return TwoCall(VESK_PA_JsonValue_Writer, value); }
std::wstring String(JsonHandle value) { return TwoCall(VESK_PA_JsonValue_GetString, value); }

// Views, where the status of the lookup itself is not the point.
JsonHandle Key(JsonHandle object, const wchar_t* key) {
    JsonHandle view = kDefaultHandle;
    VESK_PA_JsonValue_GetAtKey(object, &view, key);
    return view;
}
JsonHandle Index(JsonHandle array, uint32_t index) {
    JsonHandle view = kDefaultHandle;
    VESK_PA_JsonValue_GetAtIndex(array, &view, index);
    return view;
}

// The default value (what a failed Create leaves), garbage, released owners
// and views of a released tree are refused without touching the outputs or
// the live tree.
TEST(JorvexHandles, EveryFunctionRefusesHandlesItDidNotIssueOrThatWereReleased) {
    OwnedJson good(L"{\"a\":[1,2]}"), released(L"{\"a\":[1,2]}");
    const JsonHandle view = Index(Key(released.get(), L"a"), 1);
    const JsonHandle garbage = {{0xDEADBEEFCAFEF00Dull, 0x0123456789ABCDEFull, 42}};
    for (const JsonHandle& bad : {kDefaultHandle, garbage, released.reset(), view}) {
        JsonHandle out = kSentinel, copy = bad;
        uint32_t number = 99;
        for (const JorvexStatus status :
             {VESK_PA_JsonValue_ShareJsonHandle(bad, &out), VESK_PA_JsonValue_GetAtKey(bad, &out, L"a"),
              VESK_PA_JsonValue_GetAtIndex(bad, &out, 0), VESK_PA_JsonValue_DestroyJsonHandle(&copy),
              VESK_PA_JsonValue_GetUInt(bad, &number), VESK_PA_JsonValue_PutUInt(bad, 1),
              VESK_PA_JsonValue_PutString(bad, L"s"), VESK_PA_JsonValue_PutBool(bad, 1),
              VESK_PA_JsonValue_PutJsonHandle(bad, good.get()), VESK_PA_JsonValue_PutJsonHandle(good.get(), bad),
              VESK_PA_JsonValue_Reader(bad, L"[1]")}) {
            EXPECT_EQ(JORVEX_E_BAD_HANDLE, status);
        }
        EXPECT_TRUE(out == kSentinel && copy == bad && number == 99);
        EXPECT_EQ(0u, VESK_PA_JsonValue_GetSize(bad));
        EXPECT_EQ(StatusText(JORVEX_E_BAD_HANDLE), String(bad));
        EXPECT_EQ(StatusText(JORVEX_E_BAD_HANDLE), Text(bad));
    }
    EXPECT_EQ(L"{\"a\":[1,2]}", Text(good.get()));
    EXPECT_EQ(1u, VESK_PA_JsonValue_GetLiveHandleCount());
}

// Owners count until released (Destroy resets the handle); views neither
// count nor can be released. A share designates the same value, a member's
// too, and any one owner keeps the whole tree.
TEST(JorvexHandles, OwnersCountUntilReleasedAndAnyOneKeepsTheWholeTree) {
    ASSERT_EQ(0u, VESK_PA_JsonValue_GetLiveHandleCount());  // nothing else holds one
    JsonHandle root = kDefaultHandle;
    OwnedJson second(nullptr, false), list(nullptr, false);
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_CreateJsonHandle(&root));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(root, L"{\"list\":[1],\"other\":true}"));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(root, &second.handle));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(Key(root, L"list"), &list.handle));
    JsonHandle other = Key(root, L"other");
    const JsonHandle otherBefore = other;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_DestroyJsonHandle(&other));
    EXPECT_TRUE(other == otherBefore);
    EXPECT_EQ(3u, VESK_PA_JsonValue_GetLiveHandleCount());
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(list.get(), 1), 2));
    EXPECT_EQ(L"{\"list\":[1,2],\"other\":true}", Text(second.get()));

    const JsonHandle released = root;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_DestroyJsonHandle(&root));
    EXPECT_TRUE(root == kDefaultHandle);
    second.reset();
    EXPECT_EQ(1u, VESK_PA_JsonValue_GetLiveHandleCount());
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(other, 3));
    EXPECT_EQ(L"[1,2]", Text(list.get()));
    list.reset();
    EXPECT_EQ(StatusText(JORVEX_E_BAD_HANDLE), Text(other));
    EXPECT_EQ(0u, VESK_PA_JsonValue_GetLiveHandleCount());
    OwnedJson later[10];  // new handles never take over released words
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_PutUInt(released, 1));
}

// A lookup answers a view, also of a member or element that is not there
// (gets through it fail), but none into a value of the wrong kind. A put
// through a view creates what is missing in one step: a member, the element
// at the array's size, an object or array in place of null; beyond the size
// nothing changes. A view is a path, so it follows its value through growth.
TEST(JorvexViews, LookupsAnswerViewsAndPutsCreateWhatIsMissing) {
    const struct {
        const char* name;
        const wchar_t* before;
        JsonHandle (*view)(JsonHandle root);
        bool missing;
        JorvexStatus put;
        const wchar_t* after;
    } cases[] = {
        {"member", L"{\"a\":1}", [](JsonHandle r) { return Key(r, L"a"); }, false, JORVEX_OK, L"{\"a\":7}"},
        {"new member", L"{\"a\":1}", [](JsonHandle r) { return Key(r, L"b"); }, true, JORVEX_OK, L"{\"a\":1,\"b\":7}"},
        {"member of null", L"null", [](JsonHandle r) { return Key(r, L"a"); }, true, JORVEX_OK, L"{\"a\":7}"},
        {"appended", L"[1,2]", [](JsonHandle r) { return Index(r, 2); }, true, JORVEX_OK, L"[1,2,7]"},
        {"beyond the end", L"[1,2]", [](JsonHandle r) { return Index(r, 3); }, true, JORVEX_E_OUT_OF_RANGE, L"[1,2]"},
        {"new array", L"{}", [](JsonHandle r) { return Index(Key(Key(r, L"a"), L"b"), 0); }, true, JORVEX_OK,
         L"{\"a\":{\"b\":[7]}}"},
        {"new array beyond", L"{}", [](JsonHandle r) { return Index(Index(Key(r, L"c"), 0), 3); }, true,
         JORVEX_E_OUT_OF_RANGE, L"{}"},
        {"member of a string", L"\"s\"", [](JsonHandle r) { return Key(r, L"a"); }, false, JORVEX_E_BAD_HANDLE,
         L"\"s\""},
        {"element of an object", L"{}", [](JsonHandle r) { return Index(r, 0); }, false, JORVEX_E_BAD_HANDLE, L"{}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedJson json(c.before);
        const JsonHandle view = c.view(json.get());
        EXPECT_EQ(c.put == JORVEX_E_BAD_HANDLE, view == kDefaultHandle) << "a view exactly where the kind allows";
        uint32_t number = 5;
        EXPECT_EQ(c.missing, VESK_PA_JsonValue_GetUInt(view, &number) == JORVEX_E_NOT_FOUND);
        EXPECT_EQ(c.missing, String(view) == StatusText(JORVEX_E_NOT_FOUND));
        EXPECT_EQ(c.before, Text(json.get())) << "lookups and gets create nothing";
        // Twice: the second put must replace what the first created, not add more.
        EXPECT_EQ(c.put, VESK_PA_JsonValue_Reader(view, L"6"));
        EXPECT_EQ(c.put, VESK_PA_JsonValue_PutUInt(view, 7));
        EXPECT_EQ(c.after, Text(json.get()));
    }
    OwnedJson json(L"[{\"name\":\"first\"}]");
    const JsonHandle name = Key(Index(json.get(), 0), L"name");
    for (uint32_t i = 1; i <= 100; ++i) {
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(json.get(), i), i));
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(Key(Index(json.get(), 0), std::to_wstring(i).c_str()), 1));
    }
    EXPECT_EQ(L"first", String(name));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), L"[{\"name\":\"second\"}]"));
    EXPECT_EQ(L"second", String(name));
}

// Non-negative integers that fit 32 bits, also written with a zero fraction;
// anything else is refused and leaves the output as it was (12345).
TEST(JorvexValues, GetUIntAcceptsOnlyNonNegativeIntegersThatFit32Bits) {
    OwnedJson json;
    const std::pair<const wchar_t*, uint32_t> accepted[] = {
        {L"0", 0}, {L"4294967295", 4294967295u}, {L"3.0", 3}, {L"1e2", 100}};
    for (const auto& [text, expected] : accepted) {
        uint32_t number = 12345;
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), text));
        EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_GetUInt(json.get(), &number)) << text;
        EXPECT_EQ(expected, number) << text;
    }
    for (const wchar_t* text : {L"4294967296", L"1.5", L"-1", L"\"7\"", L"true", L"null"}) {
        uint32_t number = 12345;
        ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(json.get(), text));
        EXPECT_LT(VESK_PA_JsonValue_GetUInt(json.get(), &number), 0) << text;
        EXPECT_EQ(12345u, number) << text;
    }
}

// A capacity below length + 1 fails and leaves the buffer alone, with the
// length needed; exactly enough succeeds. Only strings have string values.
TEST(JorvexValues, GetStringAndWriterFollowTheTwoCallConvention) {
    const auto check = [](JorvexStatus(JORVEX_CALL * function)(JsonHandle, wchar_t*, uint32_t*), const wchar_t* json,
                          const std::wstring& expected) {
        SCOPED_TRACE(testing::Message() << json);
        OwnedJson value(json);
        const auto size = static_cast<uint32_t>(expected.size());
        uint32_t length = 99;
        EXPECT_EQ(JORVEX_OK, function(value.get(), nullptr, &length));
        EXPECT_EQ(size, length);
        std::wstring buffer(size + 2, L'#');
        EXPECT_EQ(JORVEX_E_BUFFER_TOO_SMALL, function(value.get(), buffer.data(), &length));
        EXPECT_EQ(size, length);
        EXPECT_EQ(std::wstring(size + 2, L'#'), buffer);
        length = size + 1;
        EXPECT_EQ(JORVEX_OK, function(value.get(), buffer.data(), &length));
        EXPECT_EQ(size, length);
        EXPECT_EQ(expected + L'\0' + L'#', buffer);
    };
    check(VESK_PA_JsonValue_GetString, L"\"h\u00e9llo\"", L"h\u00e9llo");
    check(VESK_PA_JsonValue_GetString, L"\"\"", L"");
    check(VESK_PA_JsonValue_Writer, L"[ 1 , {} ]", L"[1,{}]");
    for (const wchar_t* json : {L"1", L"false", L"{}"}) {
        uint32_t length = 99;
        EXPECT_LT(VESK_PA_JsonValue_GetString(OwnedJson(json).get(), nullptr, &length), 0) << json;
        EXPECT_EQ(99u, length);
    }
}

// The target gets a deep copy: changes on either side stay on that side,
// and the copy outlives its source; a member may be put over its own root.
TEST(JorvexValues, PutJsonHandleCopiesDeeply) {
    OwnedJson source(L"{\"list\":[1,{\"x\":\"y\"}]}"), target(L"{\"keep\":1}");
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(Key(target.get(), L"copy"), source.get()));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(Key(source.get(), L"list"), 0), 9));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(Key(Key(target.get(), L"copy"), L"new"), 0));
    EXPECT_EQ(L"{\"list\":[9,{\"x\":\"y\"}]}", Text(source.get()));
    source.reset();
    const std::wstring copy = L"{\"list\":[1,{\"x\":\"y\"}],\"new\":false}";
    EXPECT_EQ(L"{\"keep\":1,\"copy\":" + copy + L"}", Text(target.get()));
    EXPECT_EQ(JORVEX_E_NOT_FOUND, VESK_PA_JsonValue_PutJsonHandle(target.get(), Key(target.get(), L"none")));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutJsonHandle(target.get(), Key(target.get(), L"copy")));
    EXPECT_EQ(copy, Text(target.get()));
}

// Malformed text, trailing text, comments, an escaped lone surrogate, numbers
// out of range and nesting deeper than 256 containers fail and leave the
// value as it was.
TEST(JorvexReader, FailuresLeaveTheValueAsItWas) {
    OwnedJson json(L"{\"keep\":[1,\"x\"]}");
    const auto reader = [&](const std::wstring& text) { return VESK_PA_JsonValue_Reader(json.get(), text.c_str()); };
    for (const wchar_t* text : {L"", L"{\"a\":[1,2}", L"[1] x", L"[1 /* no */]", L"\"\\ud800\""}) {
        EXPECT_EQ(JORVEX_E_PARSE, reader(text)) << text;
    }
    EXPECT_EQ(JORVEX_E_OUT_OF_RANGE, reader(L"[1e400]"));
    EXPECT_EQ(JORVEX_E_TOO_DEEP, reader(std::wstring(257, L'[')));
    EXPECT_EQ(L"{\"keep\":[1,\"x\"]}", Text(json.get()));
}

// U+1F600 is D83D DE00 in UTF-16, U+10FFFF (the last code point) DBFF DFFF.
// Members keep their order, control characters stay escaped, \u0000 keeps
// its place; unpaired surrogates become U+FFFD.
TEST(JorvexText, CharactersBeyondTheBmpRoundTripAndLoneSurrogatesBecomeReplacements) {
    const std::wstring text =
        L"{\"z\":1,\"a\":[true,false,null,-5,0.5,\"\xD83D\xDE00 \xDBFF\xDFFF \x4E2D \xE9\"],"
        L"\"esc\":\"q\\\"b\\\\n\\n\\t\\u0001\\u0000.\",\"\xD83D\xDE00\":{}}";
    OwnedJson json(text.c_str());
    EXPECT_EQ(text, Text(json.get()));
    EXPECT_EQ(L"\xD83D\xDE00 \xDBFF\xDFFF \x4E2D \xE9", String(Index(Key(json.get(), L"a"), 5)));
    EXPECT_EQ(std::wstring(L"q\"b\\n\n\t\x01\0.", 10), String(Key(json.get(), L"esc")));
    EXPECT_EQ(L"{}", Text(Key(json.get(), L"\xD83D\xDE00")));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutString(json.get(), L"x\xDC00y\xD83D\xD83D\xDE00z\xD800"));
    EXPECT_EQ(L"x\uFFFDy\uFFFD\xD83D\xDE00z\uFFFD", String(json.get()));
}

}  // namespace

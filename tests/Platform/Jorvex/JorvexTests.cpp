// The JSON library where the module's own tests do not reach it: the
// live-handle count and the refused releases that their leak checks read,
// and the append rule that builds the module's arrays.
#include <gtest/gtest.h>

#include <string>

#include "Jorvex/JsonValue.h"

namespace {

std::wstring Text(JsonHandle value) {
    uint32_t length = 0;
    if (VESK_PA_JsonValue_Writer(value, nullptr, &length) != JORVEX_OK) return L"<failed>";
    std::wstring text(++length, L'\0');  // the capacity, terminator included
    if (VESK_PA_JsonValue_Writer(value, text.data(), &length) != JORVEX_OK) return L"<failed>";
    return text.substr(0, length);
}

JsonHandle Key(JsonHandle object, const wchar_t* key) {
    JsonHandle view = JSON_HANDLE_DEFAULT_INIT;
    VESK_PA_JsonValue_GetAtKey(object, &view, key);
    return view;
}
JsonHandle Index(JsonHandle array, uint32_t index) {
    JsonHandle view = JSON_HANDLE_DEFAULT_INIT;
    VESK_PA_JsonValue_GetAtIndex(array, &view, index);
    return view;
}

// Owners count until released, shares too; views neither count nor can be
// released; a released handle is refused, also when released again. A put
// at the array's size appends; beyond it nothing changes.
TEST(Jorvex, OwnersCountUntilReleasedAndPutsAtTheSizeAppend) {
    ASSERT_EQ(0u, VESK_PA_JsonValue_GetLiveHandleCount());
    JsonHandle root = JSON_HANDLE_DEFAULT_INIT, shared = JSON_HANDLE_DEFAULT_INIT;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_CreateJsonHandle(&root));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_Reader(root, L"{\"list\":[1]}"));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_ShareJsonHandle(root, &shared));
    JsonHandle list = Key(root, L"list");
    EXPECT_EQ(2u, VESK_PA_JsonValue_GetLiveHandleCount());
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_DestroyJsonHandle(&list));
    EXPECT_EQ(2u, VESK_PA_JsonValue_GetLiveHandleCount());

    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutUInt(Index(list, 1), 2));
    EXPECT_EQ(JORVEX_OK, VESK_PA_JsonValue_PutBool(Index(list, 2), 1));
    EXPECT_EQ(JORVEX_E_OUT_OF_RANGE, VESK_PA_JsonValue_PutUInt(Index(list, 4), 4));
    EXPECT_EQ(3u, VESK_PA_JsonValue_GetSize(list));
    EXPECT_EQ(L"{\"list\":[1,2,true]}", Text(shared));

    const JsonHandle released = root;
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_DestroyJsonHandle(&root));
    EXPECT_EQ(1u, VESK_PA_JsonValue_GetLiveHandleCount());
    JsonHandle again = released;
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, VESK_PA_JsonValue_DestroyJsonHandle(&again));
    EXPECT_EQ(L"<failed>", Text(released));
    ASSERT_EQ(JORVEX_OK, VESK_PA_JsonValue_DestroyJsonHandle(&shared));
    EXPECT_EQ(0u, VESK_PA_JsonValue_GetLiveHandleCount());
    EXPECT_EQ(L"<failed>", Text(list)) << "a view dies with its tree";
}

}  // namespace

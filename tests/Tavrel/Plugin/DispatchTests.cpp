#include <gtest/gtest.h>

#include "FakeQuennet.h"
#include "JsonQuoted.h"
#include "tavrel-host/OwnedJson.h"
#include "Tavrel/Plugin/TavrelInterface.h"

using TavrelHost::OwnedJson;

namespace {

struct Outcome {
    DWORD status;
    std::vector<FakeQuennet::Message> messages;
    std::wstring response;
};

Outcome Call(const std::wstring& requestText, const std::wstring& responseText = L"{\"kept\":true}") {
    OwnedJson request(requestText);
    OwnedJson response(responseText);
    FakeQuennet::Reset(0x1234, 2);
    DWORD status = Interface_FastCall_CallFunc(request.Get(), response.Get());
    return {status, FakeQuennet::Messages(), response.ToText()};
}

std::vector<std::wstring> TextsOf(const Outcome& outcome) {
    std::vector<std::wstring> texts;
    for (const auto& message : outcome.messages) texts.push_back(message.text);
    return texts;
}

}  // namespace

TEST(Dispatch, UnknownTaskIsRefusedWithOneLevelFiveLineAndTheResponseIsUntouched) {
    Outcome outcome = Call(L"{\"TaskID\":255,\"TaskParam\":{\"PcAppStopList\":[]}}");
    EXPECT_EQ(0x20ff0000u, outcome.status);
    EXPECT_EQ((std::vector<std::wstring>{L"==> Interface_FastCall_CallFunc", L"dwTaskId = 0xff", L"Invalid Task ID:0xff",
                                         L"<== Interface_FastCall_CallFunc"}),
              TextsOf(outcome));
    EXPECT_EQ(2u, outcome.messages[1].level);
    EXPECT_EQ(5u, outcome.messages[2].level);
    EXPECT_EQ(L"{\"kept\":true}", outcome.response);
}

TEST(Dispatch, MissingOrUnreadableTaskNumberRunsTaskZero) {
    for (const wchar_t* request : {L"{}", L"{\"TaskID\":\"1\"}", L"{\"TaskID\":-1}", L"{\"TaskID\":1.5}",
                                   L"{\"TaskID\":4294967296}", L"{\"TaskID\":null}", L"[1,2]", L"\"text\""}) {
        Outcome outcome = Call(request);
        EXPECT_EQ(0x20ff0000u, outcome.status);
        ASSERT_GE(outcome.messages.size(), 3u) << request;
        EXPECT_EQ(L"dwTaskId = 0", outcome.messages[1].text) << request;
        EXPECT_EQ(L"<== Interface_FastCall_CallFunc", outcome.messages.back().text) << request;
        for (const auto& message : outcome.messages) EXPECT_EQ(2u, message.level) << request;
    }
}

TEST(Dispatch, EveryHandleMadeDuringACallIsReleased) {
    uint32_t before = VESK_PA_JsonValue_GetLiveHandleCount();
    for (const wchar_t* request : {L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[]}}", L"{\"TaskID\":7}", L"{}"}) {
        Call(request);
    }
    EXPECT_EQ(before, VESK_PA_JsonValue_GetLiveHandleCount());
}

TEST(Dispatch, HandlesTheLibraryDoesNotKnowAreSurvived) {
    JsonHandle request = JSON_HANDLE_DEFAULT_INIT;
    JsonHandle response = {{0xdeadbeef, 0x12345678, 42}};
    FakeQuennet::Reset(0x1234, 2);
    uint32_t before = VESK_PA_JsonValue_GetLiveHandleCount();
    EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(&request, &response));
    EXPECT_EQ(before, VESK_PA_JsonValue_GetLiveHandleCount());
    ASSERT_GE(FakeQuennet::Messages().size(), 2u);
    EXPECT_EQ(L"dwTaskId = 0", FakeQuennet::Messages()[1].text);
}

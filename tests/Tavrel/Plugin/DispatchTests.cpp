// The task number read from the request, over a recording logging service
// and the real JSON library.
#include <gtest/gtest.h>

#include "ExportCall.h"
#include "FakeQuennet.h"
#include "Tavrel/Plugin/TavrelInterface.h"

using TestSupport::SendThrough;

namespace {

std::wstring Call(const std::wstring& request) {
    FakeQuennet::Reset(0x1234, 2);
    return SendThrough(Interface_FastCall_CallFunc, request, L"{\"kept\":true}");
}

}  // namespace

TEST(Dispatch, UnknownTaskIsRefusedWithOneLevelFiveLineAndTheResponseIsUntouched) {
    EXPECT_EQ(L"{\"kept\":true}", Call(L"{\"TaskID\":255,\"TaskParam\":{\"PcAppStopList\":[]}}"));
    EXPECT_EQ((std::vector<std::wstring>{L"==> Interface_FastCall_CallFunc", L"dwTaskId = 0xff", L"Invalid Task ID:0xff",
                                         L"<== Interface_FastCall_CallFunc"}),
              FakeQuennet::Texts());
    EXPECT_EQ(5u, FakeQuennet::Messages().at(2).level);
}

// So are handles that the library does not know.
TEST(Dispatch, MissingOrUnreadableTaskNumberRunsTaskZero) {
    const std::vector<std::wstring> taskZeroOnNothing = {L"==> Interface_FastCall_CallFunc", L"dwTaskId = 0",
                                                         L"uAppCount: 0", L"<== Interface_FastCall_CallFunc"};
    for (const wchar_t* request : {L"{}", L"{\"TaskID\":\"1\"}", L"{\"TaskID\":-1}", L"{\"TaskID\":1.5}",
                                   L"{\"TaskID\":4294967296}", L"{\"TaskID\":null}", L"[1,2]", L"\"text\""}) {
        EXPECT_EQ(L"{\"kept\":true}", Call(request));
        EXPECT_EQ(taskZeroOnNothing, FakeQuennet::Texts()) << request;
    }
    JsonHandle request = JSON_HANDLE_DEFAULT_INIT;
    JsonHandle response = {{0xdeadbeef, 0x12345678, 42}};
    const uint32_t live = VESK_PA_JsonValue_GetLiveHandleCount();
    FakeQuennet::Reset(0x1234, 2);
    EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(&request, &response));
    EXPECT_EQ(live, VESK_PA_JsonValue_GetLiveHandleCount());
    EXPECT_EQ(taskZeroOnNothing, FakeQuennet::Texts());
}

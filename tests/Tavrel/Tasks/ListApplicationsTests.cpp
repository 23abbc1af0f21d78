// Task 1 through the real export, over the real Start Menu of the test
// prefix (a folder of its own below it, removed afterwards).
#include <gtest/gtest.h>

#include "ExceptionFolders.h"
#include "FakeQuennet.h"
#include "ImportPatch.h"
#include "JsonQuoted.h"
#include "tavrel-host/OwnedJson.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "Tavrel/Plugin/TavrelInterface.h"
#include "TempFolder.h"

using namespace TestSupport;

namespace {

std::wstring Record(const std::wstring& name, const std::wstring& path, const std::wstring& description) {
    return L"{\"PcAppCtrlSelected\":false,\"PcAppCtrlAppType\":0,\"PcAppCtrlFileName\":" + JsonQuoted(name) +
           L",\"PcAppCtrlFilePath\":" + JsonQuoted(path) + L",\"PcAppCtrlFolderPrefix\":" + JsonQuoted(path) +
           L",\"PcAppCtrlFileSHA1\":\"\",\"PcAppCtrlFileDesc\":" + JsonQuoted(description) +
           L",\"PcAppCtrlDailyScheduleEnable\":false,\"PcAppCtrlDailySchedule\":[[],[],[],[],[],[],[]]}";
}

// The JSON library's string put, failing (out of memory) at one call.
using PutStringFunction = JorvexStatus(JORVEX_CALL*)(JsonHandle, const wchar_t*);
PutStringFunction g_realPutString = nullptr;
int g_putsBeforeFailure = 0;

JorvexStatus JORVEX_CALL PutStringFailingOnce(JsonHandle value, const wchar_t* text) {
    if (g_putsBeforeFailure-- == 0) return JORVEX_E_NO_MEMORY;
    return g_realPutString(value, text);
}

class ListApplications : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTree(menu_);
        FakeQuennet::Reset(0x1234, 2);
    }
    void TearDown() override { RemoveTree(menu_); }

    std::wstring Send(const std::wstring& request, const std::wstring& response = L"{}") {
        TavrelHost::OwnedJson requestValue(request);
        TavrelHost::OwnedJson responseValue(response);
        uint32_t before = VESK_PA_JsonValue_GetLiveHandleCount();
        EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(requestValue.Get(), responseValue.Get()));
        EXPECT_EQ(before, VESK_PA_JsonValue_GetLiveHandleCount());
        return responseValue.ToText();
    }

    ComScope com_;
    ProductPathScope product_{std::wstring(L"C:\\Program Files\\Brennix\\Pellam")};
    ExceptionFoldersScope exceptions_;
    TempFolder apps_;
    const std::wstring menu_ = StartMenuFolder() + L"\\Programs\\TavrelTest";
};

}  // namespace

TEST_F(ListApplications, NothingQualifyingGivesNoListAtAll) {
    WriteShortcut(menu_ + L"\\Notepad.lnk", L"C:\\windows\\notepad.exe");
    EXPECT_EQ(L"{}", Send(L"{\"TaskID\":1}"));
    EXPECT_EQ(L"{\"kept\":[1]}", Send(L"{\"TaskID\":1}", L"{\"kept\":[1]}"));
}

TEST_F(ListApplications, EachApplicationIsAnObjectOfNineMembersInScanOrder) {
    PlaceExecutable(apps_ / L"Word\\word.exe");
    PlaceExecutable(apps_ / L"Notes\\notes.exe");
    WriteShortcut(menu_ + L"\\Word.lnk", apps_ / L"Word\\word.exe", L"Write letters");
    WriteShortcut(menu_ + L"\\Office\\Notes.LNK", apps_ / L"Notes\\notes.exe");
    WriteShortcut(menu_ + L"\\Office\\a.lnk.lnk", apps_ / L"Word\\word.exe", L"Twice");

    EXPECT_EQ(L"{\"PcAppCtrlAppList\":[" + Record(L"a.lnk", apps_ / L"Word\\word.exe", L"Twice") + L"," +
                  Record(L"Notes.LNK", apps_ / L"Notes\\notes.exe", L"") + L"," +
                  Record(L"Word", apps_ / L"Word\\word.exe", L"Write letters") + L"]}",
              Send(L"{\"TaskID\":1}"));
}

TEST_F(ListApplications, TaskParamIsNotReadAndTheRestOfTheResponseIsKept) {
    PlaceExecutable(apps_ / L"Word\\word.exe");
    WriteShortcut(menu_ + L"\\Word.lnk", apps_ / L"Word\\word.exe");
    const std::wstring plain = Send(L"{\"TaskID\":1}");
    EXPECT_EQ(plain, Send(L"{\"TaskID\":1,\"TaskParam\":{\"PcAppStopList\":[{\"PcAppStopPid\":1}]}}"));
    EXPECT_EQ(L"{\"kept\":true,\"PcAppCtrlAppList\":[" + Record(L"Word", apps_ / L"Word\\word.exe", L"") + L"]}",
              Send(L"{\"TaskID\":1}", L"{\"kept\":true}"));
}

TEST_F(ListApplications, FilteredApplicationsAreLeftOut) {
    PlaceExecutable(apps_ / L"Games\\chess.exe");
    PlaceExecutable(apps_ / L"Tools\\paint.exe");
    WriteShortcut(menu_ + L"\\Chess.lnk", apps_ / L"Games\\chess.exe");
    WriteShortcut(menu_ + L"\\Paint.lnk", apps_ / L"Tools\\paint.exe");
    exceptions_.AddFolder(L"Games", apps_ / L"Games");
    EXPECT_EQ(L"{\"PcAppCtrlAppList\":[" + Record(L"Paint", apps_ / L"Tools\\paint.exe", L"") + L"]}",
              Send(L"{\"TaskID\":1}"));
}

// Once one put fails, every later element would fail too: the answer is
// dropped whole, and the response stays as it came.
TEST_F(ListApplications, AFailedPutLeavesTheResponseAsItCame) {
    for (const wchar_t* name : {L"Chess", L"Paint", L"Word"}) {
        PlaceExecutable(apps_ / (std::wstring(name) + L".exe"));
        WriteShortcut(menu_ + L"\\" + name + L".lnk", apps_ / (std::wstring(name) + L".exe"));
    }
    ImportPatch patch("Jorvex.dll", "VESK_PA_JsonValue_PutString", reinterpret_cast<void*>(&PutStringFailingOnce));
    ASSERT_NE(nullptr, patch.Original());
    g_realPutString = patch.OriginalAs<PutStringFunction>();
    // Five string members per application: the first put, one in the second
    // application, the last of all.
    for (int failing : {0, 7, 14}) {
        g_putsBeforeFailure = failing;
        EXPECT_EQ(L"{\"kept\":true}", Send(L"{\"TaskID\":1}", L"{\"kept\":true}")) << "failing put " << failing;
    }
    g_putsBeforeFailure = -1;
    EXPECT_NE(std::wstring::npos, Send(L"{\"TaskID\":1}").find(L"Word.exe"));
}

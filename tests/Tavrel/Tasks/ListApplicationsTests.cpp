// Task 1 through the real export, over the real Start Menu of the test
// prefix (a folder of its own in it).
#include <gtest/gtest.h>

#include "ExceptionFolders.h"
#include "ExpectedText.h"
#include "ExportCall.h"
#include "FakeQuennet.h"
#include "ImportPatch.h"
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
decltype(&VESK_PA_JsonValue_PutString) g_realPutString = nullptr;
int g_putsBeforeFailure = 0;

JorvexStatus JORVEX_CALL PutStringFailingOnce(JsonHandle value, const wchar_t* text) {
    if (g_putsBeforeFailure-- == 0) return JORVEX_E_NO_MEMORY;
    return g_realPutString(value, text);
}

class ListApplications : public ::testing::Test {
protected:
    ListApplications() { FakeQuennet::Reset(0x1234, 2); }

    std::wstring Send(const std::wstring& response) {
        return SendThrough(Interface_FastCall_CallFunc, L"{\"TaskID\":1}", response);
    }

    ComScope com_;
    ProductPathScope product_{std::wstring(L"C:\\Program Files\\Brennix\\Pellam")};
    ExceptionFoldersScope exceptions_;
    TempFolder apps_;
    TempFolder menu_{StartMenuFolder() + L"\\Programs\\TavrelTest"};
};

}  // namespace

// Names lose their last ".lnk" (case counts); the rest of the response stays.
TEST_F(ListApplications, EachApplicationIsAnObjectOfNineMembersInScanOrder) {
    WriteShortcut(menu_ / L"Notepad.lnk", L"C:\\windows\\notepad.exe");
    EXPECT_EQ(L"{\"kept\":[1]}", Send(L"{\"kept\":[1]}")) << "nothing qualifying: no list at all, not an empty one";
    PlaceExecutable(apps_ / L"Word\\word.exe");
    PlaceExecutable(apps_ / L"Notes\\notes.exe");
    WriteShortcut(menu_ / L"Word.lnk", apps_ / L"Word\\word.exe", L"Write letters");
    WriteShortcut(menu_ / L"Office\\Notes.LNK", apps_ / L"Notes\\notes.exe");
    WriteShortcut(menu_ / L"Office\\a.lnk.lnk", apps_ / L"Word\\word.exe", L"Twice");

    EXPECT_EQ(L"{\"kept\":true,\"PcAppCtrlAppList\":[" + Record(L"a.lnk", apps_ / L"Word\\word.exe", L"Twice") + L"," +
                  Record(L"Notes.LNK", apps_ / L"Notes\\notes.exe", L"") + L"," +
                  Record(L"Word", apps_ / L"Word\\word.exe", L"Write letters") + L"]}",
              Send(L"{\"kept\":true}"));
}

// Once one put fails, every later element would fail too: the answer is
// dropped whole, and the response stays as it came.
TEST_F(ListApplications, AFailedPutLeavesTheResponseAsItCame) {
    for (const wchar_t* name : {L"Chess", L"Paint", L"Word"}) {
        PlaceExecutable(apps_ / (std::wstring(name) + L".exe"));
        WriteShortcut(menu_ / (std::wstring(name) + L".lnk"), apps_ / (std::wstring(name) + L".exe"));
    }
    ImportPatch patch("Jorvex.dll", "VESK_PA_JsonValue_PutString", reinterpret_cast<void*>(&PutStringFailingOnce));
    ASSERT_NE(nullptr, patch.Original());
    g_realPutString = patch.OriginalAs<decltype(&VESK_PA_JsonValue_PutString)>();
    // Five string members per application: the first put, one in the second
    // application, the last of all.
    for (int failing : {0, 7, 14}) {
        g_putsBeforeFailure = failing;
        EXPECT_EQ(L"{\"kept\":true}", Send(L"{\"kept\":true}")) << "failing put " << failing;
    }
    g_putsBeforeFailure = -1;
    EXPECT_NE(std::wstring::npos, Send(L"{}").find(L"Word.exe"));
}

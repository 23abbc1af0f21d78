#include <shlobj.h>

#include "Common/BxCommon/InstComn_ShellLink.h"
#include "Tavrel/StartMenu/StartMenuScan.h"
#include "Tavrel/Tasks/Tasks.h"

namespace Tavrel::Tasks {
namespace {

using Json::CJsonValueHolder;

// "Word.lnk" -> "Word": the last ".lnk" (case-sensitive) and what follows it
// are cut; other names are kept.
std::wstring ShortenedFileName(const std::wstring& fileName) {
    const size_t extension = fileName.rfind(L".lnk");
    return extension == std::wstring::npos ? fileName : fileName.substr(0, extension);
}

// Collects the statuses of a series of library calls.
class AllSucceeded {
public:
    void operator()(int32_t status) { succeeded_ = succeeded_ && status >= 0; }
    explicit operator bool() const { return succeeded_; }

private:
    bool succeeded_ = true;
};

// False when any put failed: the object is then incomplete.
bool PutRecord(CJsonValueHolder& object, const PcAppCtrlItem& item) {
    AllSucceeded puts;
    puts(object.GetAtKey(L"PcAppCtrlSelected")->PutBool(item.bSelected));
    puts(object.GetAtKey(L"PcAppCtrlAppType")->PutUInt(item.uAppType));
    puts(object.GetAtKey(L"PcAppCtrlFileName")->PutString(ShortenedFileName(item.tsFileName)));
    puts(object.GetAtKey(L"PcAppCtrlFilePath")->PutString(item.tsFilePath));
    puts(object.GetAtKey(L"PcAppCtrlFolderPrefix")->PutString(item.tsFolderPrefix));
    puts(object.GetAtKey(L"PcAppCtrlFileSHA1")->PutString(item.tsFileSHA1));
    puts(object.GetAtKey(L"PcAppCtrlFileDesc")->PutString(item.tsFileDesc));
    puts(object.GetAtKey(L"PcAppCtrlDailyScheduleEnable")->PutBool(item.bDailyScheduleEnable));
    uint32_t day = 0;
    for (const auto& values : item.lstDailySchedule) {
        CJsonValueHolder dayValues;
        puts(dayValues.Owned() ? dayValues.Reader(L"[]") : dayValues.Result());
        uint32_t index = 0;
        for (uint32_t value : values) puts(dayValues.GetAtIndex(index++)->PutUInt(value));
        puts(object.GetAtKey(L"PcAppCtrlDailySchedule")->GetAtIndex(day++)->PutJsonHandle(dayValues));
    }
    return static_cast<bool>(puts);
}

}  // namespace

void ListApplications(CJsonValueHolder& response) {
    std::wstring startMenu;
    if (!InstCommon::Utility::ShellLink::GetSpecialFolderPath(CSIDL_STARTMENU, startMenu)) return;

    PcAppCtrlList records;
    DWORD error = ERROR_SUCCESS;
    GetCurrentUserStartMenuAppList(startMenu, records, &error);

    // The list is built apart and handed over whole, so that a failure half
    // way (out of memory) leaves the response without a partial answer: once
    // one put fails, every later index would fail too.
    CJsonValueHolder answer;
    uint32_t count = 0;
    for (const PcAppCtrlItem& item : records) {
        CJsonValueHolder object;
        if (!object.Owned() || !PutRecord(object, item)) return;
        if (answer.GetAtKey(L"PcAppCtrlAppList")->GetAtIndex(count++)->PutJsonHandle(object) < 0) return;
    }
    // Nothing qualified: no "PcAppCtrlAppList" at all, not an empty array.
    if (count > 0) response.GetAtKey(L"PcAppCtrlAppList")->PutJsonHandle(*answer.GetAtKey(L"PcAppCtrlAppList"));
}

}  // namespace Tavrel::Tasks

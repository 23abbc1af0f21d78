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

void PutRecord(CJsonValueHolder& object, const PcAppCtrlItem& item) {
    object.GetAtKey(L"PcAppCtrlSelected")->PutBool(item.bSelected);
    object.GetAtKey(L"PcAppCtrlAppType")->PutUInt(item.uAppType);
    object.GetAtKey(L"PcAppCtrlFileName")->PutString(ShortenedFileName(item.tsFileName));
    object.GetAtKey(L"PcAppCtrlFilePath")->PutString(item.tsFilePath);
    object.GetAtKey(L"PcAppCtrlFolderPrefix")->PutString(item.tsFolderPrefix);
    object.GetAtKey(L"PcAppCtrlFileSHA1")->PutString(item.tsFileSHA1);
    object.GetAtKey(L"PcAppCtrlFileDesc")->PutString(item.tsFileDesc);
    object.GetAtKey(L"PcAppCtrlDailyScheduleEnable")->PutBool(item.bDailyScheduleEnable);
    uint32_t day = 0;
    for (const auto& values : item.lstDailySchedule) {
        CJsonValueHolder dayValues;
        if (dayValues.Owned()) dayValues.Reader(L"[]");
        uint32_t index = 0;
        for (uint32_t value : values) dayValues.GetAtIndex(index++)->PutUInt(value);
        object.GetAtKey(L"PcAppCtrlDailySchedule")->GetAtIndex(day++)->PutJsonHandle(dayValues);
    }
}

}  // namespace

void ListApplications(CJsonValueHolder& response) {
    std::wstring startMenu;
    if (!InstCommon::Utility::ShellLink::GetSpecialFolderPath(CSIDL_STARTMENU, startMenu)) return;

    PcAppCtrlList records;
    DWORD error = ERROR_SUCCESS;
    GetCurrentUserStartMenuAppList(startMenu, records, &error);

    // The list is built apart and handed over whole, so that a failure half
    // way (out of memory) leaves the response without a partial answer.
    CJsonValueHolder answer;
    uint32_t count = 0;
    for (const PcAppCtrlItem& item : records) {
        CJsonValueHolder object;
        PutRecord(object, item);
        answer.GetAtKey(L"PcAppCtrlAppList")->GetAtIndex(count++)->PutJsonHandle(object);
    }
    // Nothing qualified: no "PcAppCtrlAppList" at all, not an empty array.
    if (count > 0) response.GetAtKey(L"PcAppCtrlAppList")->PutJsonHandle(*answer.GetAtKey(L"PcAppCtrlAppList"));
}

}  // namespace Tavrel::Tasks

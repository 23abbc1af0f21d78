#include "Common/Source/PCCommonHelper.h"
#include "Tavrel/Log/LogGate.h"
#include "Tavrel/Tasks/Tasks.h"

namespace Tavrel::Tasks {

using Json::CJsonValueHolder;

void StopApplications(CJsonValueHolder& request) {
    CJsonValueHolder* stopListMember = request.GetAtKey(L"TaskParam")->GetAtKey(L"PcAppStopList");
    CJsonValueHolder stopListValue(stopListMember->Handle());
    const uint32_t count = stopListValue.GetSize();
    TAVREL_LOG(2, L"uAppCount: " << count);

    // Missing members read as 0 and "": such items still go to the helper.
    PcAppStopList stopList;
    for (uint32_t index = 0; index < count; ++index) {
        uint32_t pid = 0;
        stopListValue.GetAtIndex(index)->GetAtKey(L"PcAppStopPid")->GetUInt(pid);
        std::wstring path = stopListValue.GetAtIndex(index)->GetAtKey(L"PcAppStopFilePath")->GetString();
        TAVREL_LOG(2, L"uPid: " << pid << L" tsFilePath: " << path);
        stopList.push_back(PcAppStopItem{pid, std::move(path)});
    }

    if (!stopList.empty()) {
        CParentControlProcessHelper helper;
        helper.CloseProcessInList(stopList);
    }
}

}  // namespace Tavrel::Tasks

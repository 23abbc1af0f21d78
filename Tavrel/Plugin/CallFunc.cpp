// Interface_FastCall_CallFunc: reads the task number and runs the task.
#include "Tavrel/Json/CJsonValueHolder.h"
#include "Tavrel/Log/ScopeTrace.h"
#include "Tavrel/Plugin/ExportBoundary.h"
#include "Tavrel/Plugin/TavrelInterface.h"
#include "Tavrel/Tasks/Tasks.h"

namespace {

using Tavrel::Json::CJsonValueHolder;

void Dispatch(const JsonHandle& request, const JsonHandle& response) {
    CJsonValueHolder requestHolder(request);
    CJsonValueHolder responseHolder(response);

    uint32_t taskId = 0;
    requestHolder.GetAtKey(L"TaskID")->GetUInt(taskId);
    TAVREL_LOG(2, L"dwTaskId = " << taskId);

    switch (taskId) {
        case 0:
            Tavrel::Tasks::StopApplications(requestHolder);
            break;
        case 1:
            Tavrel::Tasks::ListApplications(responseHolder);
            break;
        default:
            TAVREL_LOG(5, L"Invalid Task ID:" << taskId);
            break;
    }
}

}  // namespace

extern "C" DWORD WINAPI Interface_FastCall_CallFunc(JsonHandle* request, JsonHandle* response) {
    TAVREL_SCOPE_TRACE(L"Interface_FastCall_CallFunc");
    Tavrel::Plugin::Guarded(L"Interface_FastCall_CallFunc", [&] { Dispatch(*request, *response); });
    return Tavrel::kStatusSuccess;
}

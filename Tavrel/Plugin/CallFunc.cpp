// Interface_FastCall_CallFunc: reads the task number and runs the task.
#include <exception>
#include <string>

#include "Tavrel/Json/CJsonValueHolder.h"
#include "Tavrel/Log/ScopeTrace.h"
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

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; text != nullptr && *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

// Called inside a catch block. An exception must not unwind into the host
// (there is no C++ across this C interface), so it ends here with one line.
void LogEscapedException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            TAVREL_LOG(5, L"Interface_FastCall_CallFunc() caught an exception: " << Widen(e.what()));
        } catch (...) {
            TAVREL_LOG(5, L"Interface_FastCall_CallFunc() caught an exception of unknown type");
        }
    } catch (...) {
        // Not even the line could be written.
    }
}

}  // namespace

extern "C" DWORD WINAPI Interface_FastCall_CallFunc(JsonHandle* request, JsonHandle* response) {
    try {
        TAVREL_SCOPE_TRACE(L"Interface_FastCall_CallFunc");
        try {
            Dispatch(*request, *response);
        } catch (...) {
            LogEscapedException();
        }
    } catch (...) {
        // The trace itself ran out of memory.
    }
    return Tavrel::kStatusSuccess;
}

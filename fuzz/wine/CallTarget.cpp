#include "CallTarget.h"

#include <cstdio>
#include <stdexcept>

namespace WineFuzz {
namespace {

const wchar_t kListKey[] = L"PcAppCtrlAppList";

// A request that runs task 0 with a pid that is a non-zero multiple of 4
// could close a real window: the generator never makes one, and a replayed
// file must not bring one in.
bool StopListIsSafe(JsonHandle request) {
    JsonHandle param = JSON_HANDLE_DEFAULT_INIT, list = JSON_HANDLE_DEFAULT_INIT;
    if (VESK_PA_JsonValue_GetAtKey(request, &param, L"TaskParam") < 0) return true;
    if (VESK_PA_JsonValue_GetAtKey(param, &list, L"PcAppStopList") < 0) return true;
    const uint32_t count = VESK_PA_JsonValue_GetSize(list);
    for (uint32_t i = 0; i < count; ++i) {
        JsonHandle item = JSON_HANDLE_DEFAULT_INIT;
        uint32_t pid = 0;
        if (VESK_PA_JsonValue_GetAtIndex(list, &item, i) < 0) continue;
        if (ReadUInt(item, L"PcAppStopPid", pid) && pid != 0 && pid % 4 == 0) return false;
    }
    return true;
}

// A missing or unreadable "TaskID" runs task 0.
bool RunsTaskOne(JsonHandle request) {
    uint32_t task = 0;
    return ReadUInt(request, L"TaskID", task) && task == 1;
}

std::wstring Hex(DWORD value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lx", static_cast<unsigned long>(value));
    return text;
}

}  // namespace

CallTarget::CallTarget(uint64_t seed) : generator_(seed) {
    DWORD version = 0;
    plugin_.Versioning(&version);
    plugin_.Initialize();
    // The plug-in's own answer to a plain task-1 call is the reference that
    // every later task-1 call must repeat.
    {
        FuzzJson request(L"{\"TaskID\":1}"), response(L"{}");
        plugin_.CallFunc(request.Get(), response.Get());
        JsonHandle list = JSON_HANDLE_DEFAULT_INIT;
        if (VESK_PA_JsonValue_GetAtKey(response.Handle(), &list, kListKey) >= 0) {
            referenceList_ = std::make_unique<FuzzJson>();
            VESK_PA_JsonValue_PutJsonHandle(referenceList_->Handle(), list);
        }
    }
    startHandles_ = VESK_PA_JsonValue_GetLiveHandleCount();
}

CaseFields CallTarget::Generate() {
    CallCase next = generator_.Next();
    return {Kind(), std::move(next.request), std::move(next.response)};
}

std::wstring CallTarget::ExpectedResponse(const FuzzJson& response, bool runsTaskOne) const {
    FuzzJson expected;
    VESK_PA_JsonValue_PutJsonHandle(expected.Handle(), response.Handle());
    JsonHandle list = JSON_HANDLE_DEFAULT_INIT;
    // A response that is neither an object nor null has no member to set.
    if (runsTaskOne && referenceList_ &&
        VESK_PA_JsonValue_GetAtKey(expected.Handle(), &list, kListKey) != JORVEX_E_WRONG_TYPE) {
        VESK_PA_JsonValue_PutJsonHandle(list, referenceList_->Handle());
    }
    return expected.Text();
}

std::wstring CallTarget::Check(const CaseFields& fields) {
    if (fields.size() != 3) return L"a call case has a request and a response";
    const uint32_t handlesBefore = VESK_PA_JsonValue_GetLiveHandleCount();
    std::wstring failure;
    {
        FuzzJson request(fields[1]), response(fields[2]);
        if (!StopListIsSafe(request.Handle())) {
            throw std::runtime_error("refused to send a stop list with a pid that a real process could have");
        }
        const bool taskOne = RunsTaskOne(request.Handle());
        taskOneCalls_ += taskOne ? 1 : 0;
        const std::wstring requestBefore = request.Text();
        const std::wstring expected = ExpectedResponse(response, taskOne);

        const DWORD status = plugin_.CallFunc(request.Get(), response.Get());
        if (status != Tavrel::kStatusSuccess) {
            failure = L"status " + Hex(status);
        } else if (request.Text() != requestBefore) {
            failure = L"the request changed";
        } else if (response.Text() != expected) {
            failure = L"the response is not what task " + std::wstring(taskOne ? L"1" : L"0") + L" leaves";
        }
    }
    const uint32_t handlesAfter = VESK_PA_JsonValue_GetLiveHandleCount();
    if (failure.empty() && handlesAfter != handlesBefore) {
        failure =
            L"live JSON handles went from " + std::to_wstring(handlesBefore) + L" to " + std::to_wstring(handlesAfter);
    }
    return failure;
}

std::wstring CallTarget::Figures() const {
    const long long growth = static_cast<long long>(VESK_PA_JsonValue_GetLiveHandleCount()) - startHandles_;
    return L"task 1 " + std::to_wstring(taskOneCalls_) + L", handle growth " + std::to_wstring(growth) +
           L", reference list " + (referenceList_ ? L"set" : L"empty");
}

}  // namespace WineFuzz

#include "Conversation.h"

#include <nlohmann/json.hpp>

#include "BenchTimer.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/HostSession.h"

namespace Faults {
namespace {

std::wstring Member(const nlohmann::json& object, const char* key) {
    const auto member = object.find(key);
    return member != object.end() && member->is_string() ? TavrelHost::FromUtf8(member->get<std::string>()) : L"";
}

}  // namespace

std::wstring StopRequest() {
    std::wstring list;
    for (unsigned pid : {1u, 2u, 3u, 5u, 4294967295u}) {
        if (!list.empty()) list += L",";
        list += L"{\"PcAppStopPid\":" + std::to_wstring(pid) + L",\"PcAppStopFilePath\":\"c:\\\\nowhere\\\\x.exe\"}";
    }
    return L"{\"TaskID\":0,\"TaskParam\":{\"PcAppStopList\":[" + list + L"]}}";
}

std::vector<std::wstring> AppList::Names() const {
    std::vector<std::wstring> names;
    for (const ListedApp& app : apps) names.push_back(app.name);
    return names;
}

AppList ReadAppList(const std::wstring& response) {
    const nlohmann::json parsed = nlohmann::json::parse(TavrelHost::ToUtf8(response), nullptr, false);
    if (!parsed.is_object()) throw TavrelHost::HostError(L"the response is no JSON object: " + response);
    AppList list;
    const auto member = parsed.find("PcAppCtrlAppList");
    if (member == parsed.end()) return list;
    if (!member->is_array()) throw TavrelHost::HostError(L"PcAppCtrlAppList is no array");
    list.present = true;
    for (const auto& item : *member) {
        if (!item.is_object()) throw TavrelHost::HostError(L"PcAppCtrlAppList holds something other than objects");
        list.apps.push_back({Member(item, "PcAppCtrlFileName"), Member(item, "PcAppCtrlFilePath")});
    }
    return list;
}

AppList ListApplications(Verdict& verdict, double* seconds) {
    TavrelHost::HostSession session;
    DWORD status = 0;
    const double start = Bench::Seconds();
    const std::wstring response = session.Send(kListRequest, &status);
    if (seconds != nullptr) *seconds = Bench::Seconds() - start;
    verdict.Expect(status == Tavrel::kStatusSuccess, L"task 1 answers status " + Hex(status));
    return ReadAppList(response);
}

}  // namespace Faults

#include <algorithm>
#include <array>
#include <vector>

#include <nlohmann/json.hpp>

#include "tavrel-host/Commands.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/HostSession.h"
#include "tavrel-host/JsonText.h"

namespace TavrelHost {
namespace {

std::wstring Cell(const nlohmann::ordered_json& object, const char* key) {
    auto member = object.find(key);
    return member != object.end() && member->is_string() ? FromUtf8(member->get<std::string>()) : L"";
}

std::wstring Padded(std::wstring text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), L' ');
    return text;
}

}  // namespace

int RunList(const Arguments& arguments) {
    const bool asJson = arguments.size() == 1 && arguments[0] == L"--json";
    if (!arguments.empty() && !asJson) throw HostError(L"list takes no arguments but --json");

    HostSession session;
    const std::wstring response = session.Send(L"{\"TaskID\":1}");
    if (asJson) {
        WriteOut(PrettyJson(response) + L"\n");
        return 0;
    }
    nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(ToUtf8(response), nullptr, false);
    auto list = parsed.is_object() ? parsed.find("PcAppCtrlAppList") : parsed.end();
    if (!parsed.is_object() || list == parsed.end() || !list->is_array() || list->empty()) {
        WriteOut(L"No applications found.\n");
        return 0;
    }
    std::vector<std::array<std::wstring, 3>> rows = {{L"NAME", L"TARGET", L"DESCRIPTION"}};
    for (const auto& item : *list) {
        rows.push_back(
            {Cell(item, "PcAppCtrlFileName"), Cell(item, "PcAppCtrlFilePath"), Cell(item, "PcAppCtrlFileDesc")});
    }
    size_t nameWidth = 0, targetWidth = 0;
    for (const auto& row : rows) {
        nameWidth = std::max(nameWidth, row[0].size());
        targetWidth = std::max(targetWidth, row[1].size());
    }
    for (const auto& row : rows) {
        WriteOut(Padded(row[0], nameWidth + 2) + Padded(row[1], targetWidth + 2) + row[2] + L"\n");
    }
    WriteOut(std::to_wstring(rows.size() - 1) + L" application(s)\n");
    return 0;
}

}  // namespace TavrelHost

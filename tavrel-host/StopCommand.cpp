#include <cstdint>

#include <nlohmann/json.hpp>

#include "tavrel-host/Commands.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/HostSession.h"

namespace TavrelHost {
namespace {

// Decimal digits only: the C runtime's readers would take "010" as 8 and
// "0x10" as 16, and a command that closes windows must not guess.
uint32_t ParsePid(const std::wstring& text) {
    uint64_t value = 0;
    bool valid = !text.empty();
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9' || value > 0xFFFFFFFFull) {
            valid = false;
            break;
        }
        value = value * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (!valid || value > 0xFFFFFFFFull) {
        throw HostError(L"--pid takes a decimal process id from 0 to 4294967295, not '" + text + L"'");
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

int RunStop(const Arguments& arguments) {
    if (arguments.empty() || arguments.size() % 4 != 0) {
        throw HostError(L"stop takes pairs of --pid N --path P");
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (size_t i = 0; i < arguments.size(); i += 4) {
        if (arguments[i] != L"--pid" || arguments[i + 2] != L"--path") {
            throw HostError(L"stop takes pairs of --pid N --path P");
        }
        list.push_back({{"PcAppStopPid", ParsePid(arguments[i + 1])}, {"PcAppStopFilePath", ToUtf8(arguments[i + 3])}});
    }
    nlohmann::ordered_json request = {{"TaskID", 0}, {"TaskParam", {{"PcAppStopList", list}}}};

    HostSession session;
    session.Send(FromUtf8(request.dump()));
    WriteOut(L"asked " + std::to_wstring(list.size()) + L" application(s) to close\n");
    return 0;
}

}  // namespace TavrelHost

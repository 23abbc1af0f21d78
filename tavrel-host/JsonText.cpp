#include "tavrel-host/JsonText.h"

#include <nlohmann/json.hpp>

#include "tavrel-host/Console.h"
#include "tavrel-host/HostError.h"

namespace TavrelHost {

void CheckJsonText(const std::string& utf8, const std::wstring& what) {
    try {
        nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(utf8);
        (void)parsed;
    } catch (const nlohmann::json::parse_error& error) {
        throw HostError(L"malformed " + what + L" JSON at byte " + std::to_wstring(error.byte) + L": " +
                        FromUtf8(error.what()));
    } catch (const nlohmann::json::exception& error) {
        throw HostError(L"malformed " + what + L" JSON: " + FromUtf8(error.what()));
    }
}

std::wstring PrettyJson(const std::wstring& text) {
    try {
        return FromUtf8(
            nlohmann::ordered_json::parse(ToUtf8(text)).dump(2, ' ', false, nlohmann::json::error_handler_t::replace));
    } catch (const nlohmann::json::exception&) {
        return text;
    }
}

}  // namespace TavrelHost

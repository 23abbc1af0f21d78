#include "JsonText.h"

#include <algorithm>

#include "Boundary.h"

namespace Jorvex {

Json ParseText(const std::string& text, size_t maxDepth) {
    // The callback sees each container open with the number of containers
    // already around it, before its contents are read.
    const Json::parser_callback_t limitDepth = [maxDepth](int enclosing, Json::parse_event_t event, Json&) {
        if ((event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start) &&
            static_cast<size_t>(enclosing) + 1 > maxDepth) {
            throw NestingTooDeep();
        }
        return true;
    };
    return Json::parse(text, limitDepth, /*allow_exceptions=*/true, /*ignore_comments=*/false);
}

std::string WriteText(const Json& value) {
    // Stored strings are valid UTF-8 already; replace is a guard, not a path.
    return value.dump(-1, ' ', /*ensure_ascii=*/false, Json::error_handler_t::replace);
}

JorvexStatus CopyOut(std::wstring_view text, wchar_t* buffer, uint32_t* length) {
    if (text.size() >= UINT32_MAX) {
        return JORVEX_E_OUT_OF_RANGE;
    }
    const auto needed = static_cast<uint32_t>(text.size());
    if (buffer != nullptr) {
        if (*length < needed + 1) {
            *length = needed;
            return JORVEX_E_BUFFER_TOO_SMALL;
        }
        std::copy(text.begin(), text.end(), buffer);
        buffer[needed] = L'\0';
    }
    *length = needed;
    return JORVEX_OK;
}

}  // namespace Jorvex

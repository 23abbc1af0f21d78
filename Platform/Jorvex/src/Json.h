// The value type behind every handle. ordered_json keeps members in the order
// they were added, so the text a host prints reads the way it was built.
#pragma once

#include <nlohmann/json.hpp>

namespace Jorvex {

using Json = nlohmann::ordered_json;

}  // namespace Jorvex

// Path comparison as the feature does it everywhere: both sides lower-cased
// (only the letters A to Z change) and searched one inside the other.
#pragma once

#include <string>

namespace ParentControl {

std::wstring LowerCaseLetters(std::wstring text);

}  // namespace ParentControl

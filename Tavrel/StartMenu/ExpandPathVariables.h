#pragma once

#include <string>

namespace Tavrel::StartMenu {

// At most this many %NAME% references are replaced in one text.
inline constexpr int kMaxPathSubstitutions = 64;

// Replaces every %NAME% pair by the value of the process's environment
// variable NAME: an undefined variable, an empty pair (%%) and a value of 260
// characters or more are replaced by nothing, and a "%" that a value brings
// in is expanded in turn. After kMaxPathSubstitutions replacements the rest
// of the text is kept as it stands, so a variable whose value names itself
// cannot make it run forever.
std::wstring ExpandPathVariables(const std::wstring& text);

}  // namespace Tavrel::StartMenu

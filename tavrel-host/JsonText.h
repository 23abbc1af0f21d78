// Checking and printing JSON text on the host's side of the plug-in.
#pragma once

#include <string>

namespace TavrelHost {

// Throws HostError saying where the UTF-8 text stops being JSON.
void CheckJsonText(const std::string& utf8, const std::wstring& what);
// The text indented for reading; unchanged when it is not JSON.
std::wstring PrettyJson(const std::wstring& text);

}  // namespace TavrelHost

#include "Tavrel/StartMenu/ExpandPathVariables.h"

#include <windows.h>

namespace Tavrel::StartMenu {
namespace {

std::wstring VariableValue(const std::wstring& name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name.c_str(), value, MAX_PATH);
    // 0: undefined; MAX_PATH or more: did not fit, and the buffer says nothing.
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(value, length);
}

}  // namespace

std::wstring ExpandPathVariables(const std::wstring& text) {
    std::wstring expanded = text;
    for (int substitutions = 0; substitutions < kMaxPathSubstitutions; ++substitutions) {
        const size_t open = expanded.find(L'%');
        if (open == std::wstring::npos) break;
        const size_t close = expanded.find(L'%', open + 1);
        if (close == std::wstring::npos) break;
        const std::wstring value = VariableValue(expanded.substr(open + 1, close - open - 1));
        expanded = expanded.substr(0, open) + value + expanded.substr(close + 1);
    }
    return expanded;
}

}  // namespace Tavrel::StartMenu

// Writing shortcuts, for the suite's tools and the tests (not the plug-in).
#pragma once

#include <windows.h>

#include <string>

namespace InstCommon::Utility::ShellLink {

// Saves a shortcut at `shortcut` (a .lnk path; its folder must exist) to
// `target` with `description`. The calling thread must have COM initialised.
// Answers the failing HRESULT, S_OK on success.
HRESULT CreateShortcut(const std::wstring& shortcut, const std::wstring& target, const std::wstring& description);

}  // namespace InstCommon::Utility::ShellLink

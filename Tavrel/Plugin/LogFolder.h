#pragma once

#include <string>

namespace Tavrel {

// The logging service's folder beside the installation folder:
// "C:\Prog\Suite" and "C:\Prog\Suite\" both give "C:\Prog\Suite\..\VESK\";
// an empty installation folder gives the relative "..\VESK\". Not normalised.
std::wstring BuildLogFolderPath(const std::wstring& installedFolder);

}  // namespace Tavrel

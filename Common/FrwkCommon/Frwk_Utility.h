// System and product locations.
#pragma once

#include <windows.h>

#include <string>

// <windows.h> maps GetSystemDirectory to GetSystemDirectoryW; this file's
// function of that name must keep it. Call the Windows one by its W name.
#undef GetSystemDirectory

namespace Frwk::Utility {

// The product's installation folder: "ProductPath" under
// HKEY_LOCAL_MACHINE\Software\Brennix\Pellam in the 64-bit registry view, as
// stored (with or without a trailing separator). Empty when it cannot be
// read; a storage failure is written to the debug log and goes no further.
std::wstring GetInstalledFolder();

// The Windows folder as GetWindowsDirectoryW gives it (C:\Windows, not its
// System32). Empty on failure, with a line in the debug log.
std::wstring GetSystemDirectory();

}  // namespace Frwk::Utility

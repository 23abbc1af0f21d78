// System and product locations.
#pragma once

#include <string>

namespace Frwk::Utility {

// The product's installation folder: "ProductPath" under
// HKEY_LOCAL_MACHINE\Software\Brennix\Pellam in the 64-bit registry view, as
// stored. Empty when it cannot be read; never throws a storage error.
std::wstring GetInstalledFolder();

}  // namespace Frwk::Utility

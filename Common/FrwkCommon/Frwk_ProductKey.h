// The product's registry key below HKEY_LOCAL_MACHINE (64-bit view): the one
// place it is spelled. A macro as well, so that subkeys can be written as one
// literal.
#pragma once

#define FRWK_PRODUCT_KEY L"Software\\Brennix\\Pellam"

namespace Frwk {

inline constexpr wchar_t kProductKey[] = FRWK_PRODUCT_KEY;
// The installation folder, a string value of kProductKey.
inline constexpr wchar_t kProductPathValue[] = L"ProductPath";

}  // namespace Frwk

#include "Common/FrwkCommon/Frwk_Utility.h"

#include <windows.h>

#include <vector>

namespace Frwk::Utility {

std::wstring GetInstalledFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Brennix\\Pellam", 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::wstring folder;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, L"ProductPath", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
        DWORD read = size;
        if (RegQueryValueExW(key, L"ProductPath", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) ==
            ERROR_SUCCESS) {
            folder = data.data();
        }
    }
    RegCloseKey(key);
    return folder;
}

}  // namespace Frwk::Utility

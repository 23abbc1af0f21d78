#include "ProductRegistry.h"

#include <windows.h>

#include <vector>

#include "Common/FrwkCommon/Frwk_ProductKey.h"

namespace TestSupport {
namespace {

using Frwk::kProductKey;
constexpr const wchar_t* kProductPath = Frwk::kProductPathValue;

std::optional<std::wstring> ReadProductPath() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::optional<std::wstring> value;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, kProductPath, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, kProductPath, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
            ERROR_SUCCESS) {
            value = std::wstring(data.data());
        }
    }
    RegCloseKey(key);
    return value;
}

void WriteProductPath(const std::optional<std::wstring>& folder) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (folder) {
        RegSetValueExW(key, kProductPath, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder->c_str()),
                       static_cast<DWORD>((folder->size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteValueW(key, kProductPath);
    }
    RegCloseKey(key);
}

}  // namespace

ProductPathScope::ProductPathScope(const std::optional<std::wstring>& folder) : previous_(ReadProductPath()) {
    WriteProductPath(folder);
}

ProductPathScope::~ProductPathScope() { WriteProductPath(previous_); }

}  // namespace TestSupport

#include "ProductRegistry.h"

#include <windows.h>

#include "Common/FrwkCommon/Frwk_ProductKey.h"

namespace TestSupport {
namespace {

// The tests are 64-bit programs: their registry view is the one the plug-in reads.
void WriteProductPath(const std::optional<std::wstring>& folder) {
    if (!folder) {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, Frwk::kProductKey, Frwk::kProductPathValue);
    } else {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, Frwk::kProductKey, Frwk::kProductPathValue, REG_SZ, folder->c_str(),
                        static_cast<DWORD>((folder->size() + 1) * sizeof(wchar_t)));
    }
}

}  // namespace

ProductPathScope::ProductPathScope(const std::optional<std::wstring>& folder) {
    std::wstring value(32768, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, Frwk::kProductKey, Frwk::kProductPathValue, RRF_RT_REG_SZ, nullptr,
                     value.data(), &size) == ERROR_SUCCESS) {
        previous_ = value.c_str();
    }
    WriteProductPath(folder);
}

ProductPathScope::~ProductPathScope() { WriteProductPath(previous_); }

}  // namespace TestSupport

// Listing subkey and value names.
#include "Common/BxCommon/BxComn_Registry.h"
#include "Common/BxCommon/BxComn_RegistryRaise.h"

namespace BxCommon::Storage {
namespace {

// Subkey names are at most 255 characters, so a buffer of 255 without room
// for the terminator refuses the longest ones with ERROR_MORE_DATA; value
// names (up to 16,383) are held to the same buffer.
constexpr DWORD kNameCapacity = 255;

}  // namespace

bool Registry::EnumSubKeys(std::vector<std::wstring>& names) {
    BXSTORAGE_REQUIRE_OPEN();
    for (DWORD index = 0;; ++index) {
        wchar_t name[kNameCapacity] = {};
        DWORD capacity = kNameCapacity;
        FILETIME lastWrite;
        const LSTATUS result =
            ::RegEnumKeyExW(handle_.Get(), index, name, &capacity, nullptr, nullptr, nullptr, &lastWrite);
        if (result == ERROR_NO_MORE_ITEMS) return true;
        BXSTORAGE_CHECK(result);
        names.emplace_back(name, wcsnlen(name, kNameCapacity));
    }
}

bool Registry::EnumValueNames(std::vector<std::wstring>& names) {
    BXSTORAGE_REQUIRE_OPEN();
    for (DWORD index = 0;; ++index) {
        wchar_t name[kNameCapacity] = {};
        DWORD capacity = kNameCapacity;
        const LSTATUS result =
            ::RegEnumValueW(handle_.Get(), index, name, &capacity, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return true;
        BXSTORAGE_CHECK(result);
        names.emplace_back(name, wcsnlen(name, kNameCapacity));
    }
}

}  // namespace BxCommon::Storage

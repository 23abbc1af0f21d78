// Listing subkey and value names.
#include "Common/BxCommon/BxComn_Registry.h"

namespace BxCommon::Storage {
namespace {

// Subkey names are at most 255 characters, so a buffer of 255 without room
// for the terminator refuses the longest ones with ERROR_MORE_DATA; value
// names (up to 16,383) are held to the same buffer.
constexpr DWORD kNameCapacity = 255;

}  // namespace

bool Registry::EnumSubKeys(std::vector<std::wstring>& names) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    for (DWORD index = 0;; ++index) {
        wchar_t name[kNameCapacity] = {};
        DWORD capacity = kNameCapacity;
        FILETIME lastWrite;
        const LSTATUS result =
            ::RegEnumKeyExW(handle_.Get(), index, name, &capacity, nullptr, nullptr, nullptr, &lastWrite);
        if (result == ERROR_NO_MORE_ITEMS) return true;
        if (result != ERROR_SUCCESS) throw new Exception(static_cast<DWORD>(result), __LINE__, __FILE__);
        names.emplace_back(name, wcsnlen(name, kNameCapacity));
    }
}

bool Registry::EnumValueNames(std::vector<std::wstring>& names) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    for (DWORD index = 0;; ++index) {
        wchar_t name[kNameCapacity] = {};
        DWORD capacity = kNameCapacity;
        const LSTATUS result =
            ::RegEnumValueW(handle_.Get(), index, name, &capacity, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return true;
        if (result != ERROR_SUCCESS) throw new Exception(static_cast<DWORD>(result), __LINE__, __FILE__);
        names.emplace_back(name, wcsnlen(name, kNameCapacity));
    }
}

}  // namespace BxCommon::Storage

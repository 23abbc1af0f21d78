// Opening, closing, flushing and deleting.
#include "Common/BxCommon/BxComn_Registry.h"

#include <memory>
#include <utility>

#include "Common/BxCommon/BxComn_RegistryRaise.h"
#include "Common/BxCommon/BxComn_SecurityAttributes.h"

namespace BxCommon::Storage {
namespace {

// The view flags only choose between the 32-bit and 64-bit registry of
// redirected keys (HKLM\Software); they grant nothing, so they go with every
// access mask.
REGSAM ViewFlag(DWORD view) {
    switch (view) {
        case kView32:
            return KEY_WOW64_32KEY;
        case kView64:
            return KEY_WOW64_64KEY;
        default:
            return 0;
    }
}

}  // namespace

Registry::Registry(const DWORD& view) noexcept : view_(view) {}

Registry::~Registry() {
    if (!IsOpen()) return;
    try {
        Close(false);
    } catch (Exception* e) {
        const std::unique_ptr<Exception> failure(e);
        // RegCloseKey refused the handle, so it no longer names our key: a
        // second close could hit a handle that someone else has since got.
        handle_.Release();
    }
}

bool Registry::OpenForRead(const Key& key, const wchar_t* subKey) { return Open(key, subKey, KEY_QUERY_VALUE, false); }

bool Registry::Create(const Key& key, const wchar_t* subKey) {
    return Open(key, subKey, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, true);
}

bool Registry::OpenForWrite(const Key& key, const wchar_t* subKey) {
    return Open(key, subKey, DELETE | KEY_SET_VALUE, false);
}

bool Registry::OpenForEnum(const Key& key, const wchar_t* subKey) {
    return Open(key, subKey, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, false);
}

bool Registry::Open(const Key& key, const wchar_t* subKey, REGSAM rights, bool create) {
    const HKEY root = key.GetRoot();
    std::wstring fullPath;
    if (key.GetPath() != nullptr) fullPath = key.GetPath();
    if (!fullPath.empty() && fullPath.back() != L'\\') fullPath += L'\\';
    if (subKey != nullptr) fullPath += subKey;

    if (root == nullptr) Raise::Failure(ERROR_BAD_ARGUMENTS, __LINE__, __FILE__);

    const REGSAM access = rights | ViewFlag(view_);
    UniqueHKey opened;
    LSTATUS result;
    if (create) {
        // Lives only for the call; the key keeps its own copy of the
        // descriptor.
        AccessControl::SecurityAttributes attributes(AccessControl::kObjectTypeRegistryKey, false);
        DWORD disposition = 0;
        result = ::RegCreateKeyExW(root, fullPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                   attributes.GetAttributes(), opened.Put(), &disposition);
    } else {
        result = ::RegOpenKeyExW(root, fullPath.c_str(), 0, access, opened.Put());
    }
    BXSTORAGE_CHECK(result);

    // Nothing below throws. The key held before is closed now that the new
    // one is open, unless the registry handed back the very same handle: a
    // predefined root opened with an empty path comes back as itself.
    root_ = root;
    path_ = std::move(fullPath);
    if (opened.Get() == handle_.Get()) {
        opened.Release();
    } else {
        handle_ = std::move(opened);
    }
    return true;
}

bool Registry::Close(const bool& flushFirst) {
    BXSTORAGE_REQUIRE_OPEN();
    if (flushFirst) Flush();
    BXSTORAGE_CHECK(::RegCloseKey(handle_.Get()));
    handle_.Release();
    root_ = nullptr;
    path_.clear();
    return true;
}

bool Registry::Flush() {
    BXSTORAGE_REQUIRE_OPEN();
    BXSTORAGE_CHECK(::RegFlushKey(handle_.Get()));
    return true;
}

bool Registry::DeleteKey() {
    BXSTORAGE_REQUIRE_OPEN();
    // The empty subkey name designates the open key itself.
    BXSTORAGE_CHECK(::RegDeleteKeyW(handle_.Get(), L""));
    return true;
}

bool Registry::DeleteValue(const wchar_t* name) { return DeleteValue(std::wstring(name != nullptr ? name : L"")); }

bool Registry::DeleteValue(const std::wstring& name) {
    BXSTORAGE_REQUIRE_OPEN();
    BXSTORAGE_CHECK(::RegDeleteValueW(handle_.Get(), name.c_str()));
    return true;
}

std::wstring Registry::GetPath() const { return path_; }

}  // namespace BxCommon::Storage

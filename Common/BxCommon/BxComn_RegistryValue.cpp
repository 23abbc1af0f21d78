// Typed value reads and writes (the throwing forms).
#include "Common/BxCommon/BxComn_Registry.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "Common/BxCommon/BxComn_RegistryRaise.h"

namespace BxCommon::Storage {
namespace {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }
bool IsBinaryType(DWORD type) { return type == REG_BINARY; }

}  // namespace

template <typename Number>
Number Registry::ReadNumber(const std::wstring& name, DWORD expectedType) {
    BXSTORAGE_REQUIRE_OPEN();
    Number value = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(value);
    // A longer value (a REG_QWORD read as a DWORD) does not fit and fails
    // with ERROR_MORE_DATA.
    BXSTORAGE_VALUE_CHECK(
        ::RegQueryValueExW(handle_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), name);
    if (type != expectedType || size != sizeof(value)) BXSTORAGE_VALUE_FAIL(ERROR_INVALID_DATA, name);
    return value;
}

DWORD Registry::GetDwordValue(const std::wstring& name) { return ReadNumber<DWORD>(name, REG_DWORD); }

ULONGLONG Registry::GetQwordValue(const std::wstring& name) { return ReadNumber<ULONGLONG>(name, REG_QWORD); }

std::unique_ptr<BYTE[]> Registry::ReadBlock(const std::wstring& name, bool (*accepted)(DWORD), size_t spare,
                                            DWORD& size) {
    BXSTORAGE_REQUIRE_OPEN();
    DWORD type = REG_NONE;
    size = 0;
    BXSTORAGE_VALUE_CHECK(::RegQueryValueExW(handle_.Get(), name.c_str(), nullptr, &type, nullptr, &size), name);
    if (!accepted(type)) BXSTORAGE_VALUE_FAIL(ERROR_INVALID_DATA, name);

    const size_t blockSize = size_t{size} + spare;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[blockSize]);
    if (!block) BXSTORAGE_VALUE_FAIL(ERROR_INVALID_HANDLE, name);
    std::memset(block.get(), 0, blockSize);

    DWORD secondType = REG_NONE;
    DWORD secondSize = size;
    // A value that grew since the first call gives ERROR_MORE_DATA here.
    BXSTORAGE_VALUE_CHECK(
        ::RegQueryValueExW(handle_.Get(), name.c_str(), nullptr, &secondType, block.get(), &secondSize), name);
    if (!accepted(secondType) || secondSize != size) BXSTORAGE_VALUE_FAIL(ERROR_INVALID_DATA, name);
    return block;
}

// def serves the quiet form; this form throws on every failure instead.
std::wstring Registry::GetStringValue(const std::wstring& name, const std::wstring& /*def*/) {
    // The registry keeps string data as written, terminated or not: two spare
    // zero bytes end the text either way.
    DWORD size = 0;
    const std::unique_ptr<BYTE[]> block = ReadBlock(name, IsStringType, sizeof(wchar_t), size);
    // Up to the first zero character: the first string of a REG_MULTI_SZ.
    // Counted, not scanned, since an odd byte count leaves half a character.
    const wchar_t* text = reinterpret_cast<const wchar_t*>(block.get());
    return std::wstring(text, wcsnlen(text, (size_t{size} + sizeof(wchar_t)) / sizeof(wchar_t)));
}

bool Registry::GetBinaryValue(const std::wstring& name, ByteBuffer& out) {
    DWORD size = 0;
    const std::unique_ptr<BYTE[]> block = ReadBlock(name, IsBinaryType, 0, size);
    if (size == 0) return true;
    DWORD code = ERROR_SUCCESS;
    if (!out.Allocate(size, &code)) BXSTORAGE_VALUE_FAIL(code, name);
    std::memcpy(out.GetData(), block.get(), size);
    return true;
}

bool Registry::WriteValue(const std::wstring& name, DWORD type, const BYTE* data, DWORD size) {
    BXSTORAGE_VALUE_CHECK(::RegSetValueExW(handle_.Get(), name.c_str(), 0, type, data, size), name);
    return true;
}

bool Registry::SetBinaryValue(const std::wstring& name, const ByteBuffer& data) {
    BXSTORAGE_REQUIRE_OPEN();
    return WriteValue(name, REG_BINARY, data.GetData(), static_cast<DWORD>(data.GetSize()));
}

bool Registry::SetStringValue(const std::wstring& name, const std::wstring& value) {
    BXSTORAGE_REQUIRE_OPEN();
    const DWORD count = static_cast<DWORD>(value.size() + 1);
    std::unique_ptr<wchar_t[]> block(new (std::nothrow) wchar_t[count]);
    if (!block) BXSTORAGE_VALUE_FAIL(ERROR_INVALID_HANDLE, name);
    std::wmemset(block.get(), L'\0', count);
    // Copies up to the first zero character; the rest of the block stays
    // zero, and the full count is written.
    const errno_t copied = ::wcsncpy_s(block.get(), count, value.c_str(), _TRUNCATE);
    if (copied != 0) BXSTORAGE_VALUE_FAIL(copied, name);
    return WriteValue(name, REG_SZ, reinterpret_cast<const BYTE*>(block.get()), count * sizeof(wchar_t));
}

bool Registry::SetQwordValue(const std::wstring& name, const ULONGLONG& value) {
    BXSTORAGE_REQUIRE_OPEN();
    return WriteValue(name, REG_QWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

bool Registry::SetDwordValue(const std::wstring& name, const DWORD& value) {
    BXSTORAGE_REQUIRE_OPEN();
    return WriteValue(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

}  // namespace BxCommon::Storage

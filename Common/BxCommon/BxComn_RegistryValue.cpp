// Typed value reads and writes (the throwing forms).
#include "Common/BxCommon/BxComn_Registry.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace BxCommon::Storage {
namespace {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

template <typename Number>
Number Registry::ReadNumber(const std::wstring& name, DWORD expectedType) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    Number value = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(value);
    // A longer value (a REG_QWORD read as a DWORD) does not fit and fails
    // with ERROR_MORE_DATA.
    const LSTATUS result =
        ::RegQueryValueExW(handle_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    if (type != expectedType || size != sizeof(value)) {
        throw new RegException(ERROR_INVALID_DATA, __LINE__, __FILE__, GetPath(), name);
    }
    return value;
}

DWORD Registry::GetDwordValue(const std::wstring& name) { return ReadNumber<DWORD>(name, REG_DWORD); }

ULONGLONG Registry::GetQwordValue(const std::wstring& name) { return ReadNumber<ULONGLONG>(name, REG_QWORD); }

// def serves the quiet form; this form throws on every failure instead.
std::wstring Registry::GetStringValue(const std::wstring& name, const std::wstring& /*def*/) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS result = ::RegQueryValueExW(handle_.Get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    if (!IsStringType(type)) throw new RegException(ERROR_INVALID_DATA, __LINE__, __FILE__, GetPath(), name);

    // The registry keeps string data as written, terminated or not: two spare
    // zero bytes end the text either way.
    const size_t blockSize = size_t{size} + sizeof(wchar_t);
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[blockSize]);
    if (!block) throw new RegException(ERROR_INVALID_HANDLE, __LINE__, __FILE__, GetPath(), name);
    std::memset(block.get(), 0, blockSize);

    DWORD secondType = REG_NONE;
    DWORD secondSize = size;
    result = ::RegQueryValueExW(handle_.Get(), name.c_str(), nullptr, &secondType, block.get(), &secondSize);
    // A value that grew since the first call gives ERROR_MORE_DATA here.
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    if (!IsStringType(secondType) || secondSize != size) {
        throw new RegException(ERROR_INVALID_DATA, __LINE__, __FILE__, GetPath(), name);
    }
    // Up to the first zero character: the first string of a REG_MULTI_SZ.
    // Counted, not scanned, since an odd byte count leaves half a character.
    const wchar_t* text = reinterpret_cast<const wchar_t*>(block.get());
    return std::wstring(text, wcsnlen(text, blockSize / sizeof(wchar_t)));
}

bool Registry::GetBinaryValue(const std::wstring& name, ByteBuffer& out) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS result = ::RegQueryValueExW(handle_.Get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    if (type != REG_BINARY) throw new RegException(ERROR_INVALID_DATA, __LINE__, __FILE__, GetPath(), name);

    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block) throw new RegException(ERROR_INVALID_HANDLE, __LINE__, __FILE__, GetPath(), name);
    std::memset(block.get(), 0, size);

    DWORD secondType = REG_NONE;
    DWORD secondSize = size;
    result = ::RegQueryValueExW(handle_.Get(), name.c_str(), nullptr, &secondType, block.get(), &secondSize);
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    if (secondType != REG_BINARY || secondSize != size) {
        throw new RegException(ERROR_INVALID_DATA, __LINE__, __FILE__, GetPath(), name);
    }
    if (size == 0) return true;

    DWORD code = ERROR_SUCCESS;
    if (!out.Allocate(size, &code)) throw new RegException(code, __LINE__, __FILE__, GetPath(), name);
    std::memcpy(out.GetData(), block.get(), size);
    return true;
}

bool Registry::SetBinaryValue(const std::wstring& name, const ByteBuffer& data) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    const LSTATUS result = ::RegSetValueExW(handle_.Get(), name.c_str(), 0, REG_BINARY, data.GetData(),
                                            static_cast<DWORD>(data.GetSize()));
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    return true;
}

bool Registry::SetStringValue(const std::wstring& name, const std::wstring& value) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    const DWORD count = static_cast<DWORD>(value.size() + 1);
    std::unique_ptr<wchar_t[]> block(new (std::nothrow) wchar_t[count]);
    if (!block) throw new RegException(ERROR_INVALID_HANDLE, __LINE__, __FILE__, GetPath(), name);
    std::wmemset(block.get(), L'\0', count);
    // Copies up to the first zero character; the rest of the block stays
    // zero, and the full count is written.
    const errno_t copied = ::wcsncpy_s(block.get(), count, value.c_str(), _TRUNCATE);
    if (copied != 0) throw new RegException(static_cast<DWORD>(copied), __LINE__, __FILE__, GetPath(), name);
    const LSTATUS result = ::RegSetValueExW(handle_.Get(), name.c_str(), 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(block.get()), count * sizeof(wchar_t));
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    return true;
}

bool Registry::SetQwordValue(const std::wstring& name, const ULONGLONG& value) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    const LSTATUS result = ::RegSetValueExW(handle_.Get(), name.c_str(), 0, REG_QWORD,
                                            reinterpret_cast<const BYTE*>(&value), sizeof(value));
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    return true;
}

bool Registry::SetDwordValue(const std::wstring& name, const DWORD& value) {
    if (!IsOpen()) throw new Exception(ERROR_INVALID_HANDLE, __LINE__, __FILE__);
    const LSTATUS result = ::RegSetValueExW(handle_.Get(), name.c_str(), 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&value), sizeof(value));
    if (result != ERROR_SUCCESS) throw new RegException(static_cast<DWORD>(result), __LINE__, __FILE__, GetPath(), name);
    return true;
}

}  // namespace BxCommon::Storage

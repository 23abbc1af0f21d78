// How the registry storage's operations fail, for its own sources: every
// failure is raised as a heap exception naming the source line of the check
// that failed (hence macros).
#pragma once

#include <windows.h>

#include <string>

#include "Common/BxCommon/BxComn_StorageException.h"

namespace BxCommon::Storage::Raise {

[[noreturn]] inline void Failure(DWORD code, int line, const char* file) { throw new Exception(code, line, file); }

[[noreturn]] inline void ValueFailure(DWORD code, int line, const char* file, const std::wstring& keyPath,
                                      const std::wstring& valueName) {
    throw new RegException(code, line, file, keyPath, valueName);
}

}  // namespace BxCommon::Storage::Raise

// Inside a Registry member: Exception(6) when no key is open.
#define BXSTORAGE_REQUIRE_OPEN()                                                                      \
    do {                                                                                              \
        if (!IsOpen()) ::BxCommon::Storage::Raise::Failure(ERROR_INVALID_HANDLE, __LINE__, __FILE__); \
    } while (false)

// Exception(result) for a Windows result other than ERROR_SUCCESS.
#define BXSTORAGE_CHECK(result)                                                                           \
    do {                                                                                                  \
        const LSTATUS bxStorageResult = (result);                                                         \
        if (bxStorageResult != ERROR_SUCCESS) {                                                           \
            ::BxCommon::Storage::Raise::Failure(static_cast<DWORD>(bxStorageResult), __LINE__, __FILE__); \
        }                                                                                                 \
    } while (false)

// Inside a Registry member: RegException(code) naming the open key and the
// value `name`.
#define BXSTORAGE_VALUE_FAIL(code, name) \
    ::BxCommon::Storage::Raise::ValueFailure(static_cast<DWORD>(code), __LINE__, __FILE__, GetPath(), (name))

// RegException(result) for a Windows result other than ERROR_SUCCESS.
#define BXSTORAGE_VALUE_CHECK(result, name)                                                \
    do {                                                                                   \
        const LSTATUS bxStorageResult = (result);                                          \
        if (bxStorageResult != ERROR_SUCCESS) BXSTORAGE_VALUE_FAIL(bxStorageResult, name); \
    } while (false)

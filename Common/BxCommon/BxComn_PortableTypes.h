// The few Windows types and error codes of the cores that handle untrusted
// lengths (the cipher, the string key, stored-string decryption), so that
// they also build natively for the sanitizer and fuzzing build in
// fuzz/native. On Windows this is <windows.h> itself.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
// 32 bits, as on Windows (where it is unsigned long).
using DWORD = std::uint32_t;
using ULONGLONG = unsigned long long;

inline constexpr DWORD MAXDWORD = 0xFFFFFFFF;

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;

// Byte by byte through a volatile pointer, as Windows does it, so that the
// wipe of an object about to die is not dropped as a dead store.
inline void* SecureZeroMemory(void* destination, std::size_t length) {
    volatile BYTE* byte = static_cast<volatile BYTE*>(destination);
    while (length-- != 0) *byte++ = 0;
    return destination;
}
#endif

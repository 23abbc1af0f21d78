#include "tavrel-host/FileDigest.h"

#include <windows.h>

#include <bcrypt.h>

#include <cstdio>
#include <vector>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "tavrel-host/HostError.h"

namespace TavrelHost {
namespace {

struct AlgorithmTraits {
    using Type = BCRYPT_ALG_HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type algorithm) noexcept { BCryptCloseAlgorithmProvider(algorithm, 0); }
};

struct HashTraits {
    using Type = BCRYPT_HASH_HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type hash) noexcept { BCryptDestroyHash(hash); }
};

using UniqueAlgorithm = BxCommon::UniqueResource<AlgorithmTraits>;
using UniqueHash = BxCommon::UniqueResource<HashTraits>;

[[noreturn]] void Fail(const std::wstring& path, const wchar_t* step, unsigned long code) {
    wchar_t text[64];
    swprintf(text, 64, L" failed (0x%08lx)", code);
    throw HostError(L"cannot hash " + path + L": " + step + text);
}

void Check(NTSTATUS status, const std::wstring& path, const wchar_t* step) {
    if (!BCRYPT_SUCCESS(status)) Fail(path, step, static_cast<unsigned long>(status));
}

}  // namespace

std::wstring FileSha256(const std::wstring& path) {
    // Shared delete too: the loader may hold the file it mapped that way.
    BxCommon::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) Fail(path, L"CreateFileW", GetLastError());

    UniqueAlgorithm algorithm;
    Check(BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0), path,
          L"BCryptOpenAlgorithmProvider");
    // No object buffer: CNG allocates the hash state itself (Windows 7 on).
    UniqueHash hash;
    Check(BCryptCreateHash(algorithm.Get(), hash.Put(), nullptr, 0, nullptr, 0, 0), path, L"BCryptCreateHash");

    std::vector<UCHAR> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            Fail(path, L"ReadFile", GetLastError());
        }
        if (read == 0) break;
        Check(BCryptHashData(hash.Get(), buffer.data(), read, 0), path, L"BCryptHashData");
    }
    UCHAR digest[32];
    Check(BCryptFinishHash(hash.Get(), digest, sizeof digest, 0), path, L"BCryptFinishHash");

    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring hex;
    for (UCHAR byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xf];
    }
    return hex;
}

}  // namespace TavrelHost

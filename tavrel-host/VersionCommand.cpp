#include <windows.h>

#include <cstdio>
#include <vector>

#include "tavrel-host/Commands.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/FileDigest.h"
#include "tavrel-host/HostSession.h"

namespace TavrelHost {
namespace {

std::wstring FileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return L"unknown";
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr) {
        return L"unknown";
    }
    wchar_t text[64];
    swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
             HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return text;
}

}  // namespace

int RunVersion() {
    HostSession session;
    wchar_t version[16];
    swprintf(version, 16, L"0x%08lx", session.InterfaceVersion());
    // The file the loader actually mapped, whose digest a release's SHA256SUMS lists.
    const std::wstring loaded = ModuleFileName(session.Module());
    WriteOut(L"interface version " + std::wstring(version) + L"\nfile version " + FileVersion(loaded) +
             L"\nTavrel.dll SHA-256 " + FileSha256(loaded) + L"\n");
    return 0;
}

}  // namespace TavrelHost

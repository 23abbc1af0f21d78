#include "tavrel-host/Console.h"

#include <windows.h>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "tavrel-host/HostError.h"

namespace TavrelHost {
namespace {

void Write(DWORD which, const std::wstring& text) {
    HANDLE stream = GetStdHandle(which);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(stream, &mode)) {
        WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string bytes = ToUtf8(text);
    WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadAll(HANDLE stream) {
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(stream, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    return bytes;
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

void WriteOut(const std::wstring& text) { Write(STD_OUTPUT_HANDLE, text); }
void WriteError(const std::wstring& text) { Write(STD_ERROR_HANDLE, text); }

std::string ReadStandardInput() { return ReadAll(GetStdHandle(STD_INPUT_HANDLE)); }

std::string ReadWholeFile(const std::wstring& path) {
    const BxCommon::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw HostError(L"cannot read " + path + L" (Windows error " + std::to_wstring(GetLastError()) + L")");
    return ReadAll(file.Get());
}

}  // namespace TavrelHost

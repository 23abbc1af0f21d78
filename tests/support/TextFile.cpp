#include "TextFile.h"

#include <windows.h>

#include "Common/BxCommon/BxComn_UniqueResource.h"

namespace TestSupport {

std::string ReadBytes(const std::wstring& path) {
    const BxCommon::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char chunk[65536];
    for (DWORD got = 0; file && ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0;) {
        bytes.append(chunk, got);
    }
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    const BxCommon::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Whole texts, embedded NULs included (BxCommon's conversions stop at the first).
std::wstring ReadUtf8File(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    std::wstring text(bytes.size(), L'\0');  // never more UTF-16 units than bytes
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    return text;
}

bool WriteUtf8File(const std::wstring& path, const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');  // at most three bytes per UTF-16 unit
    bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                         bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                         nullptr)));
    return WriteBytes(path, bytes);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace TestSupport

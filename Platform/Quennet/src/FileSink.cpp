#include "FileSink.h"

#include "Folder.h"

#include <algorithm>
#include <iterator>

namespace Quennet {
namespace {

bool IsForbiddenInFileName(wchar_t c) {
    return c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'/' || c == L'\\' || c == L'|' ||
           c == L'?' || c == L'*';
}

// Windows opens these as devices whatever extension follows ("NUL.log" is
// the null device on older systems). The length of the device name that
// `name` starts with, 0 when it is none.
size_t DeviceNameLength(const std::wstring& name) {
    static const wchar_t* const devices[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1",   L"COM2",
                                             L"COM3", L"COM4", L"COM5", L"COM6", L"COM7",   L"COM8",
                                             L"COM9", L"LPT1", L"LPT2", L"LPT3", L"LPT4",   L"LPT5",
                                             L"LPT6", L"LPT7", L"LPT8", L"LPT9", L"CONIN$", L"CONOUT$"};
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    bool device = std::any_of(std::begin(devices), std::end(devices), [&](const wchar_t* device) {
        return CompareStringOrdinal(stem.c_str(), -1, device, -1, TRUE) == CSTR_EQUAL;
    });
    return device ? stem.size() : 0;
}

bool WriteAll(HANDLE file, const char* data, size_t size) {
    // WriteFile takes a 32-bit count; a line larger than that is written in
    // pieces, still under the lock.
    constexpr size_t MaxChunk = 1u << 30;
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(std::min(size, MaxChunk));
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

std::wstring ModuleFileName(const wchar_t* module) {
    std::wstring name = module;
    std::replace_if(name.begin(), name.end(), IsForbiddenInFileName, L'_');
    // "CON" -> "CON_", "nul.x" -> "nul_.x": the part before the dot decides.
    if (size_t device = DeviceNameLength(name)) name.insert(device, 1, L'_');
    return name + L".log";
}

bool FileSink::NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const noexcept {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_LESS_THAN;
}

FileSink::FileSink(std::wstring folder) : folder_(std::move(folder)) {}

bool FileSink::Write(const std::wstring& fileName, const std::string& line) {
    ExclusiveLock hold(lock_);
    auto found = files_.find(fileName);
    if (found == files_.end()) {
        // Append-only access makes every write land at the current end, also
        // when another process appends to the same file. Readers and
        // deleters are let in so the logs can be watched and rotated.
        UniqueFile file(CreateFileW(LongPathForm(folder_ + L"\\" + fileName).c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        found = files_.emplace(fileName, std::move(file)).first;
    }
    return WriteAll(found->second.Get(), line.data(), line.size());
}

}  // namespace Quennet

#include "Settings.h"

#include "Folder.h"
#include "Win32Owners.h"

#include <windows.h>

namespace Quennet {
namespace {

constexpr wchar_t SettingsFileName[] = L"Quennet.ini";
constexpr wchar_t OverrideVariable[] = L"QUENNET_LOG_LEVEL";
// A settings file is a handful of lines; a larger file is not one and is ignored.
constexpr DWORD MaxSettingsBytes = 1 << 20;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f' || c == 0xFEFF; }

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Plain decimal that fits 32 bits; anything else is malformed.
bool ParseLevel(std::wstring_view text, uint32_t& level) {
    if (text.empty()) return false;
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<uint64_t>(c - L'0');
        if (value > UINT32_MAX) return false;
    }
    level = static_cast<uint32_t>(value);
    return true;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring DecodeSettings(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i) {
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        }
        return text;
    }
    // A UTF-8 byte-order mark decodes to U+FEFF, which trimming drops.
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

std::wstring ReadSettingsFile(const std::wstring& path) {
    UniqueFile file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > MaxSettingsBytes) return {};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD total = 0;
    DWORD got = 0;
    while (total < bytes.size() &&
           ReadFile(file.Get(), bytes.data() + total, static_cast<DWORD>(bytes.size()) - total, &got, nullptr) &&
           got > 0) {
        total += got;
    }
    bytes.resize(total);
    return DecodeSettings(bytes);
}

std::wstring ReadOverride() {
    std::wstring value(64, L'\0');
    for (;;) {
        DWORD length = GetEnvironmentVariableW(OverrideVariable, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) return {};
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);  // too small: length counts the terminator
    }
}

}  // namespace

void LevelTable::ApplySettings(std::wstring_view text) {
    while (!text.empty()) {
        size_t end = text.find(L'\n');
        std::wstring_view line = text.substr(0, end);
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
        size_t comment = line.find_first_of(L";#");
        if (comment != std::wstring_view::npos) line = line.substr(0, comment);
        ApplyEntry(line);
    }
}

void LevelTable::ApplyOverride(std::wstring_view text) {
    uint32_t level = 0;
    if (ParseLevel(Trim(text), level)) {
        entries_.clear();
        default_ = level;
        return;
    }
    while (!text.empty()) {
        size_t end = text.find(L',');
        ApplyEntry(text.substr(0, end));
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
    }
}

bool LevelTable::ApplyEntry(std::wstring_view entry) {
    size_t equals = entry.find(L'=');
    if (equals == std::wstring_view::npos) return false;
    std::wstring_view name = Trim(entry.substr(0, equals));
    uint32_t level = 0;
    if (name.empty() || !ParseLevel(Trim(entry.substr(equals + 1)), level)) return false;
    if (name == L"*") {
        default_ = level;
        return true;
    }
    for (Entry& existing : entries_) {
        if (SameName(existing.name, name)) {
            existing.level = level;
            return true;
        }
    }
    entries_.push_back({std::wstring(name), level});
    return true;
}

uint32_t LevelTable::LevelOf(const wchar_t* module) const noexcept {
    for (const Entry& entry : entries_) {
        if (CompareStringOrdinal(module, -1, entry.name.c_str(), static_cast<int>(entry.name.size()), TRUE) ==
            CSTR_EQUAL) {
            return entry.level;
        }
    }
    return default_;
}

LevelTable LoadLevels(const std::wstring& folder) {
    LevelTable table;
    table.ApplySettings(ReadSettingsFile(folder + L"\\" + SettingsFileName));
    table.ApplyOverride(ReadOverride());
    return table;
}

}  // namespace Quennet

#include "SettingFixtures.h"

#include "Common/BxCommon/BxComn_StringEncrypt.h"
#include "Common/FrwkCommon/Frwk_ProductKey.h"
#include "Common/Source/ExceptionEntries.h"
#include "tavrel-host/HostError.h"

namespace Faults {
namespace {

using BxCommon::UniqueHKey;
using TavrelHost::HostError;

// The plug-in reads the 64-bit view; say so, whatever this program is built as.
constexpr REGSAM kView = KEY_WOW64_64KEY;

void Check(LSTATUS status, const std::wstring& what) {
    if (status != ERROR_SUCCESS)
        throw HostError(L"cannot " + what + L" (Windows error " + std::to_wstring(status) + L")");
}

UniqueHKey CreateKey(const wchar_t* path) {
    UniqueHKey key;
    Check(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE | kView, nullptr, key.Put(), nullptr),
          std::wstring(L"create HKLM\\") + path);
    return key;
}

// Quiet: what is not there needs no removing.
void RemoveKeyTree(const wchar_t* path) {
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS | kView, key.Put()) != ERROR_SUCCESS) return;
    RegDeleteTreeW(key.Get(), nullptr);
    key.Reset();
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, kView, 0);
}

}  // namespace

void RemoveProductKey() { RemoveKeyTree(Frwk::kProductKey); }

ProductPathSetting::ProductPathSetting(const std::optional<std::wstring>& folder) {
    const UniqueHKey key = CreateKey(Frwk::kProductKey);
    if (!folder) {
        RegDeleteValueW(key.Get(), Frwk::kProductPathValue);
        return;
    }
    Check(RegSetValueExW(key.Get(), Frwk::kProductPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder->c_str()),
                         static_cast<DWORD>((folder->size() + 1) * sizeof(wchar_t))),
          L"write ProductPath");
}

ProductPathSetting::~ProductPathSetting() {
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Frwk::kProductKey, 0, KEY_SET_VALUE | kView, key.Put()) == ERROR_SUCCESS) {
        RegDeleteValueW(key.Get(), Frwk::kProductPathValue);
    }
}

ExceptionKey::ExceptionKey() {
    RemoveKeyTree(kAppCtrlExceptFolderListKey);
    key_ = CreateKey(kAppCtrlExceptFolderListKey);
}

ExceptionKey::~ExceptionKey() {
    key_.Reset();
    RemoveKeyTree(kAppCtrlExceptFolderListKey);
}

void ExceptionKey::AddFolder(const std::wstring& name, const std::wstring& folder) {
    std::wstring stored;
    if (!BxCommon::Cryptograph::EncryptStringW(stored, folder)) throw HostError(L"cannot encrypt " + folder);
    SetString(name, stored);
}

void ExceptionKey::SetString(const std::wstring& name, const std::wstring& text) {
    SetRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ExceptionKey::SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    Check(RegSetValueExW(key_.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
          L"write the exception value " + name);
}

EnvironmentSetting::EnvironmentSetting(std::wstring name, const std::wstring& value) : name_(std::move(name)) {
    if (!SetEnvironmentVariableW(name_.c_str(), value.c_str())) throw HostError(L"cannot set " + name_);
}

EnvironmentSetting::~EnvironmentSetting() { SetEnvironmentVariableW(name_.c_str(), nullptr); }

}  // namespace Faults

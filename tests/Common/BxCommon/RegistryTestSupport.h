// Shared by the registry and security-attribute tests: a private key per test
// with raw access past the storage, thrown codes, SDDL.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"

namespace RegistryTesting {

using Bytes = std::vector<BYTE>;

// A new empty key HKCU\Software\TavrelTests\<test>.<pid>.<n>, deleted with
// everything below it. Raw access is relative to it; like the storage's
// view 2 it sees the 64-bit registry, this program's own view.
class TestKey {
public:
    TestKey() {
        static std::atomic<unsigned> counter{0};
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".";
        path_ = L"Software\\TavrelTests\\" + std::wstring(name.begin(), name.end()) +
                std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(++counter);
        EXPECT_EQ(ERROR_SUCCESS, CreateSubKey(L"")) << "cannot create the test key";
    }
    ~TestKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    const std::wstring& Path() const { return path_; }
    BxCommon::Storage::Key AsKey() const { return BxCommon::Storage::Key(HKEY_CURRENT_USER, path_.c_str()); }

    LSTATUS CreateSubKey(const std::wstring& relative) const {
        BxCommon::UniqueHKey key;
        return RegCreateKeyExW(HKEY_CURRENT_USER, Below(relative).c_str(), 0, nullptr, 0, KEY_READ, nullptr, key.Put(),
                               nullptr);
    }
    // Creates the subkey `relative` when missing.
    LSTATUS SetRaw(const std::wstring& name, DWORD type, const Bytes& data, const std::wstring& relative = L"") const {
        return RegSetKeyValueW(HKEY_CURRENT_USER, Below(relative).c_str(), name.c_str(), type, data.data(),
                               static_cast<DWORD>(data.size()));
    }
    // The value as stored, with its type; REG_NONE and no bytes when it
    // cannot be read. RegQueryValueExW, unlike RegGetValueW, adds no
    // terminator to string data.
    std::pair<DWORD, Bytes> GetRaw(const std::wstring& name) const {
        DWORD type = REG_NONE, size = 4096;
        Bytes data(size);
        BxCommon::UniqueHKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS ||
            RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
            return {REG_NONE, {}};
        }
        data.resize(size);
        return {type, data};
    }

private:
    std::wstring Below(const std::wstring& relative) const {
        return relative.empty() ? path_ : path_ + L"\\" + relative;
    }
    std::wstring path_;
};

// Runs call, which should throw a storage exception, and hands that over;
// null when nothing was thrown.
template <typename Call>
std::unique_ptr<BxCommon::Storage::Exception> Raised(Call&& call) {
    try {
        call();
    } catch (BxCommon::Storage::Exception* e) {
        return std::unique_ptr<BxCommon::Storage::Exception>(e);
    }
    return nullptr;
}

// The thrown storage error code; kNothingThrown when nothing was thrown.
inline constexpr DWORD kNothingThrown = 0xFFFFFFFF;
template <typename Call>
DWORD CodeOf(Call&& call) {
    const auto raised = Raised(call);
    return raised ? raised->GetErrorCode() : kNothingThrown;
}

// A descriptor's DACL in SDDL, or "" without one. Expected descriptors go
// through the same rendering (CanonicalSddl), so they compare entry by
// entry: type, flags, rights and trustee, in order.
inline std::string DaclSddl(PSECURITY_DESCRIPTOR descriptor) {
    char* text = nullptr;
    if (!descriptor || !ConvertSecurityDescriptorToStringSecurityDescriptorA(
                           descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
        return "";
    }
    const std::string dacl(text);
    LocalFree(text);
    return dacl;
}

inline std::string CanonicalSddl(const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    const std::string dacl = DaclSddl(descriptor);
    LocalFree(descriptor);
    return dacl;
}

}  // namespace RegistryTesting

// Shared by the registry and security-attribute tests: a private key per test
// with raw access past the storage, thrown codes, SDDL, a memory-growth check.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"

namespace RegistryTesting {

using Bytes = std::vector<BYTE>;

// A new empty key <root>\Software\TavrelTests\<test>.<pid>.<n>, deleted with
// everything below it. Raw access is relative to it; like the storage's
// view 2 it sees the 64-bit registry, this program's own view.
class TestKey {
public:
    explicit TestKey(HKEY root = HKEY_CURRENT_USER) : root_(root) {
        static std::atomic<unsigned> counter{0};
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".";
        path_ = L"Software\\TavrelTests\\" + std::wstring(name.begin(), name.end()) +
                std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(++counter);
        EXPECT_EQ(ERROR_SUCCESS, CreateSubKey(L"")) << "cannot create the test key";
    }
    ~TestKey() { RegDeleteTreeW(root_, path_.c_str()); }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    HKEY Root() const { return root_; }
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const {
        return relative.empty() ? path_ : path_ + L"\\" + relative;
    }
    BxCommon::Storage::Key AsKey() const { return BxCommon::Storage::Key(root_, path_.c_str()); }

    LSTATUS CreateSubKey(const std::wstring& relative) const {
        BxCommon::UniqueHKey key;
        return RegCreateKeyExW(root_, (*this / relative).c_str(), 0, nullptr, 0, KEY_READ, nullptr, key.Put(), nullptr);
    }
    bool Exists(const std::wstring& relative) const {
        BxCommon::UniqueHKey key;
        return RegOpenKeyExW(root_, (*this / relative).c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
    }
    // Creates the subkey `relative` when missing.
    LSTATUS SetRaw(const std::wstring& name, DWORD type, const Bytes& data, const std::wstring& relative = L"") const {
        return RegSetKeyValueW(root_, (*this / relative).c_str(), name.c_str(), type, data.data(),
                               static_cast<DWORD>(data.size()));
    }
    LSTATUS SetText(const std::wstring& name, DWORD type, const std::wstring& text, bool terminated = true) const {
        const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        return SetRaw(name, type, Bytes(bytes, bytes + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)));
    }
    // The value as stored, with room for every value of these tests.
    struct RawValue {
        LSTATUS result;
        DWORD type;
        Bytes data;
    };
    RawValue GetRaw(const std::wstring& name) const {
        RawValue value{ERROR_SUCCESS, REG_NONE, Bytes(1 << 21)};
        BxCommon::UniqueHKey key;
        auto size = static_cast<DWORD>(value.data.size());
        value.result = RegOpenKeyExW(root_, path_.c_str(), 0, KEY_QUERY_VALUE, key.Put());
        if (value.result == ERROR_SUCCESS) {
            value.result = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, value.data.data(), &size);
        }
        value.data.resize(value.result == ERROR_SUCCESS ? size : 0);
        return value;
    }

private:
    HKEY root_;
    std::wstring path_;
};

class RegistryWithHandle : public BxCommon::Storage::Registry {
public:
    using Registry::GetHandle;
    using Registry::Registry;
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
// through the same rendering, so they compare entry by entry: type, flags,
// rights and trustee, in order.
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

using LocalDescriptor = std::unique_ptr<void, decltype(&LocalFree)>;
inline LocalDescriptor FromSddl(const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    return LocalDescriptor(descriptor, &LocalFree);
}

// Runs work (false on a wrong result) `rounds` times so the heap reaches its
// working size, then ten times as often: the process's private bytes must
// grow by less than `limit`. PagefileUsage, not PrivateUsage: Wine fills
// only the basic counters; on Windows the two are the same figure.
inline void ExpectNoGrowth(const std::function<bool()>& work, int rounds, SIZE_T limit) {
    PROCESS_MEMORY_COUNTERS counters[2] = {};
    for (PROCESS_MEMORY_COUNTERS& counter : counters) {
        for (int i = 0; i < rounds; ++i) ASSERT_TRUE(work()) << "round " << i;
        ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &counter, sizeof(counter)));
        rounds *= 10;
    }
    EXPECT_LT(counters[1].PagefileUsage, counters[0].PagefileUsage + limit)
        << "private bytes grew from " << counters[0].PagefileUsage << " to " << counters[1].PagefileUsage;
}

}  // namespace RegistryTesting

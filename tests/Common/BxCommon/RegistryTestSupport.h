// Shared by the registry and security-attribute tests: a private key per
// test, raw registry access that bypasses the storage under test, descriptor
// entries compared by meaning, and the process's memory figure.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"

namespace RegistryTesting {

// A uniquely named key <root>\Software\TavrelTests\<suite>.<test>.<pid>.<n>
// in the 64-bit view, created empty and deleted with everything below it.
class TestKey {
public:
    explicit TestKey(HKEY root = HKEY_CURRENT_USER);
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    HKEY Root() const { return root_; }
    // Below the root, without a trailing separator.
    const std::wstring& Path() const { return path_; }
    // Path() + "\" + relative.
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }
    // The storage's name for the key, or for a key below it.
    BxCommon::Storage::Key AsKey() const { return BxCommon::Storage::Key(root_, path_.c_str()); }

    // Raw access, all below Path(); relative "" is the key itself.
    LSTATUS CreateSubKey(const std::wstring& relative) const;
    bool Exists(const std::wstring& relative) const;
    LSTATUS SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size,
                   const std::wstring& relative = L"") const;
    LSTATUS SetRawString(const std::wstring& name, DWORD type, const std::wstring& text, bool terminated = true,
                         const std::wstring& relative = L"") const;
    struct RawValue {
        LSTATUS result = ERROR_SUCCESS;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    RawValue GetRaw(const std::wstring& name, const std::wstring& relative = L"") const;

private:
    HKEY root_;
    std::wstring path_;
};

// One entry of a DACL, described by meaning rather than by its bytes.
struct AceEntry {
    std::wstring sid;  // S-1-... form
    DWORD mask = 0;
    BYTE type = 0;
    BYTE flags = 0;
    bool operator==(const AceEntry& other) const {
        return sid == other.sid && mask == other.mask && type == other.type && flags == other.flags;
    }
};
void PrintTo(const AceEntry& entry, std::ostream* out);

// An access-allowed entry without flags, as every SecurityAttributes entry is.
AceEntry Allowed(const wchar_t* sid, DWORD mask);
// The DACL's entries in order; empty when there is no DACL.
std::vector<AceEntry> DaclEntries(PSECURITY_DESCRIPTOR descriptor);
// The DACL entries that RegGetKeySecurity reports for an open key.
std::vector<AceEntry> KeyDaclEntries(HKEY key);

// The process's private bytes (GetProcessMemoryInfo PagefileUsage).
SIZE_T PrivateBytes();

// Points this program's import of one function at a replacement while the
// object lives. The storage library is linked in statically, so its calls go
// through the same import table. The replacement should call Original().
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // Null when the import was not found (nothing is patched then).
    void* Original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

// Runs call, which is expected to throw a storage exception, and hands back
// the exception's owner; null when nothing was thrown.
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

// Gives tests the open key's raw handle.
class RegistryWithHandle : public BxCommon::Storage::Registry {
public:
    using Registry::Registry;
    using Registry::GetHandle;
};

// Base for tests that work below one private key of the current user.
class RegistryTestBase : public ::testing::Test {
protected:
    TestKey testKey_{HKEY_CURRENT_USER};
};

}  // namespace RegistryTesting

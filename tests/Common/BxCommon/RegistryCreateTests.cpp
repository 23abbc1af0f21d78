// The descriptor that Create gives the keys it makes.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"
#include "RegistryTestSupport.h"

using BxCommon::Storage::kView64;
using BxCommon::Storage::Registry;
using namespace RegistryTesting;

namespace {

// The registry-key descriptor, written out from the documented SIDs and key
// rights: Administrators and System 0x1003F, Power Users 0x3F, readers
// (Authenticated Users, Users, Interactive) READ_CONTROL | query | enumerate,
// Creator Owner KEY_ALL_ACCESS.
constexpr wchar_t kRegistryKeySddl[] =
    L"D:(A;;0x1003f;;;BA)(A;;0x3f;;;PU)(A;;0x1003f;;;SY)(A;;0x20009;;;AU)(A;;0x20009;;;BU)"
    L"(A;;0x20009;;;IU)(A;;0xf003f;;;CO)";

class Descriptor {
public:
    explicit Descriptor(const wchar_t* sddl) {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_, nullptr)) {
            ADD_FAILURE() << "SDDL not accepted, error " << GetLastError();
        }
    }
    ~Descriptor() { LocalFree(descriptor_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    PSECURITY_DESCRIPTOR Get() const { return descriptor_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

std::vector<AceEntry> KeyDacl(const RegistryTesting::TestKey& testKey, const std::wstring& relative) {
    BxCommon::UniqueHKey key;
    if (RegOpenKeyExW(testKey.Root(), (testKey / relative).c_str(), 0, READ_CONTROL | KEY_WOW64_64KEY, key.Put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    return KeyDaclEntries(key.Get());
}

// What the storage handed to RegCreateKeyExW, read during the call (the
// attributes live only as long as the call).
struct CreateCall {
    int calls = 0;
    DWORD reserved = 0xFFFFFFFF;
    bool classGiven = true;
    DWORD options = 0xFFFFFFFF;
    REGSAM access = 0;
    bool attributesGiven = false;
    DWORD length = 0;
    BOOL inherit = TRUE;
    std::vector<AceEntry> entries;
};
CreateCall recordedCreate;
ImportPatch* createPatch = nullptr;

LSTATUS WINAPI RecordCreate(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                            LPSECURITY_ATTRIBUTES attributes, PHKEY key, LPDWORD disposition) {
    CreateCall& call = recordedCreate;
    ++call.calls;
    call.reserved = reserved;
    call.classGiven = keyClass != nullptr;
    call.options = options;
    call.access = access;
    call.attributesGiven = attributes != nullptr;
    if (attributes != nullptr) {
        call.length = attributes->nLength;
        call.inherit = attributes->bInheritHandle;
        if (attributes->lpSecurityDescriptor != nullptr) call.entries = DaclEntries(attributes->lpSecurityDescriptor);
    }
    const auto original = reinterpret_cast<decltype(&RegCreateKeyExW)>(createPatch->Original());
    return original(root, path, reserved, keyClass, options, access, attributes, key, disposition);
}

class RegistryCreate : public ::testing::Test {
protected:
    TestKey testKey_{HKEY_LOCAL_MACHINE};
};

TEST_F(RegistryCreate, NewKeyGetsTheRegistryKeyDescriptor) {
    // Control: does RegCreateKeyExW apply a descriptor it is given at all?
    const Descriptor control(L"D:(A;;KA;;;WD)(A;;KR;;;SY)");
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), control.Get(), FALSE};
    {
        BxCommon::UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(testKey_.Root(), (testKey_ / L"Control").c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS | KEY_WOW64_64KEY, &attributes, key.Put(), nullptr));
    }
    if (KeyDacl(testKey_, L"Control") != DaclEntries(control.Get())) {
        GTEST_SKIP() << "RegCreateKeyExW on this platform ignores the descriptor in its SECURITY_ATTRIBUTES "
                        "(Wine gives every new key its default DACL), so what Create applied cannot be seen here; "
                        "SecurityAttributesRegistry shows that the registry accepts the descriptor itself.";
    }

    Registry storage(kView64);
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L"New"));
    const Descriptor expected(kRegistryKeySddl);
    EXPECT_EQ(DaclEntries(expected.Get()), KeyDacl(testKey_, L"New"));
}

TEST_F(RegistryCreate, HandsTheRegistryKeyDescriptorToRegCreateKeyExW) {
    ImportPatch patch("advapi32.dll", "RegCreateKeyExW", reinterpret_cast<void*>(&RecordCreate));
    ASSERT_NE(nullptr, patch.Original());
    createPatch = &patch;

    Registry storage(kView64);
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L"New"));
    const CreateCall& call = recordedCreate;
    EXPECT_EQ(1, call.calls);
    EXPECT_EQ(0u, call.reserved);
    EXPECT_FALSE(call.classGiven);
    EXPECT_EQ(static_cast<DWORD>(REG_OPTION_NON_VOLATILE), call.options);
    EXPECT_EQ(static_cast<REGSAM>(KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_WOW64_64KEY),
              call.access);
    ASSERT_TRUE(call.attributesGiven);
    EXPECT_EQ(sizeof(SECURITY_ATTRIBUTES), call.length);
    EXPECT_EQ(FALSE, call.inherit);
    const Descriptor expected(kRegistryKeySddl);
    EXPECT_EQ(DaclEntries(expected.Get()), call.entries);
    EXPECT_TRUE(testKey_.Exists(L"New"));
}

TEST_F(RegistryCreate, ExistingKeyKeepsItsDescriptor) {
    // Everyone keeps full access, so the fixture can still remove the key.
    const Descriptor own(L"D:(A;;KA;;;WD)(A;;KR;;;SY)");
    {
        BxCommon::UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(testKey_.Root(), (testKey_ / L"Old").c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.Put(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, own.Get()));
    }
    ASSERT_EQ(DaclEntries(own.Get()), KeyDacl(testKey_, L"Old"));

    Registry storage(kView64);
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L"Old"));
    EXPECT_EQ(DaclEntries(own.Get()), KeyDacl(testKey_, L"Old"));
}

}  // namespace

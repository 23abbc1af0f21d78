// The descriptors of SecurityAttributes, read back through the Windows
// security functions and compared with entry lists written from the
// documented well-known SIDs (S-1-5-32-544 Administrators, -547 Power Users,
// -545 Users; S-1-5-18 Local System, S-1-5-11 Authenticated Users, S-1-5-4
// Interactive; S-1-3-0 Creator Owner).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "Common/BxCommon/BxComn_SecurityAttributes.h"
#include "RegistryTestSupport.h"

using BxCommon::AccessControl::SecurityAttributes;
using namespace RegistryTesting;

namespace {

using Entries = std::vector<AceEntry>;

// One row per object type; columns in trustee order.
Entries Expected(DWORD admins, DWORD powerUsers, DWORD system, DWORD authenticated, DWORD users, DWORD interactive,
                 DWORD creatorOwner) {
    return {Allowed(L"S-1-5-32-544", admins),        Allowed(L"S-1-5-32-547", powerUsers),
            Allowed(L"S-1-5-18", system),            Allowed(L"S-1-5-11", authenticated),
            Allowed(L"S-1-5-32-545", users),         Allowed(L"S-1-5-4", interactive),
            Allowed(L"S-1-3-0", creatorOwner)};
}

// Registry key: Creator Owner KEY_ALL_ACCESS (0xF003F); Administrators and
// System query, set, create-subkey, enumerate, notify, create-link and
// DELETE (0x1003F); Power Users the same without DELETE; the others
// READ_CONTROL, query and enumerate (0x20009).
Entries RegistryKeyEntries() {
    return Expected(0x1003F, 0x3F, 0x1003F, 0x20009, 0x20009, 0x20009, 0xF003F);
}

// Every structural property that the entries alone do not show.
void ExpectDescriptorShape(const SECURITY_ATTRIBUTES& attributes) {
    ASSERT_NE(nullptr, attributes.lpSecurityDescriptor);
    const auto descriptor = static_cast<PSECURITY_DESCRIPTOR>(attributes.lpSecurityDescriptor);
    EXPECT_TRUE(IsValidSecurityDescriptor(descriptor));
    const auto* relative = static_cast<const SECURITY_DESCRIPTOR_RELATIVE*>(attributes.lpSecurityDescriptor);
    EXPECT_EQ(SECURITY_DESCRIPTOR_REVISION, relative->Revision);
    // DACL present and self-relative; not defaulted, not protected, nothing else.
    EXPECT_EQ(SE_DACL_PRESENT | SE_SELF_RELATIVE, relative->Control);
    EXPECT_EQ(0u, relative->Owner);
    EXPECT_EQ(0u, relative->Group);
    EXPECT_EQ(0u, relative->Sacl);
    ASSERT_NE(0u, relative->Dacl);

    PACL dacl = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = TRUE;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_FALSE(defaulted);
    ASSERT_NE(nullptr, dacl);
    EXPECT_EQ(ACL_REVISION, dacl->AclRevision);
    EXPECT_EQ(7u, dacl->AceCount);
    // Header and seven entries of 8 bytes plus their SID, nothing spare:
    // three SIDs of 16 bytes (S-1-5-32-x), four of 12 (S-1-5-x, S-1-3-0).
    const DWORD expectedSize = sizeof(ACL) + 3 * (8 + 16) + 4 * (8 + 12);
    EXPECT_EQ(expectedSize, dacl->AclSize);
    ACL_SIZE_INFORMATION sizes{};
    ASSERT_TRUE(GetAclInformation(dacl, &sizes, sizeof(sizes), AclSizeInformation));
    EXPECT_EQ(expectedSize, sizes.AclBytesInUse);
    EXPECT_EQ(0u, sizes.AclBytesFree);
    EXPECT_EQ(sizeof(SECURITY_DESCRIPTOR_RELATIVE) + expectedSize, GetSecurityDescriptorLength(descriptor));
}

TEST(SecurityAttributes, RegistryKeyDescriptorHasTheSevenEntriesInTrusteeOrder) {
    for (bool inherit : {false, true}) {
        SCOPED_TRACE(inherit ? "inheritable" : "not inheritable");
        SecurityAttributes attributes(4, inherit);
        SECURITY_ATTRIBUTES* structure = attributes.GetAttributes();
        ASSERT_NE(nullptr, structure);
        EXPECT_EQ(24u, structure->nLength);
        EXPECT_EQ(inherit ? TRUE : FALSE, structure->bInheritHandle);
        ExpectDescriptorShape(*structure);
        EXPECT_EQ(RegistryKeyEntries(), DaclEntries(structure->lpSecurityDescriptor));
    }
}

TEST(SecurityAttributes, EveryTypeWithRightsHasItsOwnRow) {
    const struct {
        DWORD type;
        Entries entries;
    } rows[] = {
        {0, Expected(0x13013F, 0x12002F, 0x13013F, 0x120029, 0x120029, 0x120029, 0x1F01FF)},
        {1, Expected(0x1100C7, 0x100087, 0x1100C7, 0x100081, 0x100081, 0x100081, 0x1F01FF)},
        // System differs from Administrators here (0x1F5 against 0x101F7).
        {2, Expected(0x101F7, 0x18D, 0x1F5, 0x185, 0x185, 0x185, 0xF01FF)},
        {5, Expected(0x100FFB, 0x100E92, 0x100FFB, 0x100410, 0x100410, 0x100410, 0x1F0FFF)},
        {6, Expected(0x1000FB, 0x10006A, 0x1000FB, 0x100048, 0x100048, 0x100048, 0x1F03FB)},
        // 9 to 12: one mask for everyone.
        {9, Expected(0x100002, 0x100002, 0x100002, 0x100002, 0x100002, 0x100002, 0x100002)},
        {10, Expected(0x1F0003, 0x1F0003, 0x1F0003, 0x1F0003, 0x1F0003, 0x1F0003, 0x1F0003)},
        {11, Expected(0x100001, 0x100001, 0x100001, 0x100001, 0x100001, 0x100001, 0x100001)},
        {12, Expected(0x1F0001, 0x1F0001, 0x1F0001, 0x1F0001, 0x1F0001, 0x1F0001, 0x1F0001)},
        {19, Expected(0x1F01FF, 0x1F01FF, 0x1F01FF, 0x12019F, 0x12019F, 0x12019F, 0x1F01FF)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "object type " << row.type);
        SecurityAttributes attributes(row.type, false);
        SECURITY_ATTRIBUTES* structure = attributes.GetAttributes();
        ASSERT_NE(nullptr, structure);
        EXPECT_EQ(24u, structure->nLength);
        ExpectDescriptorShape(*structure);
        EXPECT_EQ(row.entries, DaclEntries(structure->lpSecurityDescriptor));
    }
}

TEST(SecurityAttributes, TypesWithoutRightsGiveAnEmptyStructure) {
    for (DWORD type : {3u, 7u, 8u, 13u, 14u, 15u, 16u, 17u, 18u, 20u, 21u, 0xFFFFFFFFu}) {
        for (bool inherit : {false, true}) {
            SCOPED_TRACE(testing::Message() << "object type " << type << (inherit ? ", inheritable" : ""));
            SecurityAttributes attributes(type, inherit);
            SECURITY_ATTRIBUTES* structure = attributes.GetAttributes();
            if (type == 18) {
                EXPECT_EQ(nullptr, structure);
                continue;
            }
            ASSERT_NE(nullptr, structure);
            EXPECT_EQ(0u, structure->nLength);
            EXPECT_EQ(nullptr, structure->lpSecurityDescriptor);
            EXPECT_EQ(FALSE, structure->bInheritHandle);
            EXPECT_EQ(structure, attributes.GetAttributes());
        }
    }
}

TEST(SecurityAttributes, DescriptorsAreFreedWithTheirObjects) {
    auto buildMany = [](int count) {
        for (int i = 0; i < count; ++i) {
            SecurityAttributes supported(i % 2 == 0 ? 4 : 19, false);
            SecurityAttributes unsupported(3, true);  // built up to the failure, then dropped
            if (supported.GetAttributes()->nLength == 0) return false;
        }
        return true;
    };
    ASSERT_TRUE(buildMany(2000));
    const SIZE_T before = PrivateBytes();
    ASSERT_NE(0u, before);
    ASSERT_TRUE(buildMany(20000));
    const SIZE_T after = PrivateBytes();
    // A lost descriptor (180 bytes and its heap header) would be 4 MB here.
    EXPECT_LT(after, before + 1024 * 1024) << "private bytes grew from " << before << " to " << after;
}

// The registry takes the descriptor as the DACL of a key.
class SecurityAttributesRegistry : public RegistryTestBase {};

TEST_F(SecurityAttributesRegistry, RegistryKeepsTheDescriptorSetOnAKey) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(L"Secured"));
    BxCommon::UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(testKey_.Root(), (testKey_ / L"Secured").c_str(), 0,
                                           READ_CONTROL | WRITE_DAC | KEY_WOW64_64KEY, key.Put()));
    SecurityAttributes attributes(4, false);
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION,
                                               attributes.GetAttributes()->lpSecurityDescriptor));
    key.Reset();

    // Read back through a fresh handle.
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(testKey_.Root(), (testKey_ / L"Secured").c_str(), 0,
                                           READ_CONTROL | KEY_WOW64_64KEY, key.Put()));
    EXPECT_EQ(RegistryKeyEntries(), KeyDaclEntries(key.Get()));
}

}  // namespace

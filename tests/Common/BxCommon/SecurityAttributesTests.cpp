// SecurityAttributes: the descriptor of every object type, compared with DACLs
// written out from the well-known SIDs and each object type's access rights.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Common/BxCommon/BxComn_SecurityAttributes.h"
#include "RegistryTestSupport.h"

using BxCommon::AccessControl::SecurityAttributes;
using RegistryTesting::CanonicalSddl;
using RegistryTesting::DaclSddl;

namespace {

// Every type with rights allows Administrators, Power Users and Local System
// their own rights, Authenticated Users, Users and Interactive the same
// reader's rights, and Creator Owner its rights, in that order, with no
// inheritance. Type 4 (registry keys) is the one this module creates; the
// others are the library's contract with the feature's other modules.
const struct {
    DWORD type;
    const char *admins, *powerUsers, *system, *readers, *creatorOwner;
} kRights[] = {
    {0, "0x13013f", "0x12002f", "0x13013f", "0x120029", "FA"},  // FA: FILE_ALL_ACCESS
    {1, "0x1100c7", "0x100087", "0x1100c7", "0x100081", "FA"},
    {2, "0x101f7", "0x18d", "0x1f5", "0x185", "0xf01ff"},  // SERVICE_ALL_ACCESS
    {4, "0x1003f", "0x3f", "0x1003f", "0x20009", "KA"},    // KA: KEY_ALL_ACCESS
    {5, "0x100ffb", "0x100e92", "0x100ffb", "0x100410", "0x1f0fff"},
    {6, "0x1000fb", "0x10006a", "0x1000fb", "0x100048", "0x1f03fb"},
    {9, "0x100002", "0x100002", "0x100002", "0x100002", "0x100002"},
    {10, "0x1f0003", "0x1f0003", "0x1f0003", "0x1f0003", "0x1f0003"},  // EVENT_ALL_ACCESS
    {11, "0x100001", "0x100001", "0x100001", "0x100001", "0x100001"},
    {12, "0x1f0001", "0x1f0001", "0x1f0001", "0x1f0001", "0x1f0001"},  // MUTEX_ALL_ACCESS
    {19, "FA", "FA", "FA", "0x12019f", "FA"},
};

// The type's DACL as Windows writes it back, or "" for a type without rights.
std::string Expected(DWORD type) {
    for (const auto& row : kRights) {
        if (row.type != type) continue;
        const std::string readers = row.readers;
        return CanonicalSddl(std::string("D:(A;;") + row.admins + ";;;BA)(A;;" + row.powerUsers + ";;;PU)(A;;" +
                             row.system + ";;;SY)(A;;" + readers + ";;;AU)(A;;" + readers + ";;;BU)(A;;" + readers +
                             ";;;IU)(A;;" + row.creatorOwner + ";;;CO)");
    }
    return "";
}

// A type with rights gets its entries in one self-relative block holding only
// the DACL. Any other type gets an empty structure, and type 18 none at all.
TEST(SecurityAttributes, EveryObjectTypeGetsItsEntriesOrNone) {
    for (const DWORD type : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 18u, 19u, 20u, 0xFFFFFFFFu}) {
        for (const bool inherit : {false, true}) {
            SCOPED_TRACE(testing::Message() << "object type " << type << (inherit ? ", inheritable" : ""));
            SecurityAttributes attributes(type, inherit);
            const SECURITY_ATTRIBUTES* structure = attributes.GetAttributes();
            ASSERT_EQ(type == 18, structure == nullptr);
            if (type == 18) continue;
            const auto* descriptor = static_cast<const SECURITY_DESCRIPTOR_RELATIVE*>(structure->lpSecurityDescriptor);
            if (Expected(type).empty()) {
                EXPECT_TRUE(!structure->nLength && !descriptor && !structure->bInheritHandle);
                continue;
            }
            ASSERT_NE(nullptr, descriptor);
            EXPECT_EQ(24u, structure->nLength);
            EXPECT_EQ(inherit ? TRUE : FALSE, structure->bInheritHandle);
            EXPECT_TRUE(IsValidSecurityDescriptor(structure->lpSecurityDescriptor));
            EXPECT_EQ(SE_DACL_PRESENT | SE_SELF_RELATIVE, descriptor->Control);
            EXPECT_EQ(0u, descriptor->Owner | descriptor->Group | descriptor->Sacl);
            EXPECT_EQ(Expected(type), DaclSddl(structure->lpSecurityDescriptor));
        }
    }
}

}  // namespace

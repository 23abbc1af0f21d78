// SecurityAttributes: the descriptor of every object type, compared with
// entry lists written from the well-known SIDs and rights, and its memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Common/BxCommon/BxComn_SecurityAttributes.h"
#include "RegistryTestSupport.h"

using BxCommon::AccessControl::SecurityAttributes;
using namespace RegistryTesting;

namespace {

// The DACL of every object type with rights, in SDDL: Administrators, Power
// Users, Local System, Authenticated Users, Users, Interactive and Creator
// Owner, each allowed its rights with no inheritance (FA: FILE_ALL_ACCESS,
// KA: KEY_ALL_ACCESS; other rights in hexadecimal).
const struct {
    DWORD type;
    const char* dacl;
} kDacls[] = {
    {0,
     "D:(A;;0x13013f;;;BA)(A;;0x12002f;;;PU)(A;;0x13013f;;;SY)(A;;0x120029;;;AU)"
     "(A;;0x120029;;;BU)(A;;0x120029;;;IU)(A;;FA;;;CO)"},
    {1,
     "D:(A;;0x1100c7;;;BA)(A;;0x100087;;;PU)(A;;0x1100c7;;;SY)(A;;0x100081;;;AU)"
     "(A;;0x100081;;;BU)(A;;0x100081;;;IU)(A;;FA;;;CO)"},
    {2,
     "D:(A;;0x101f7;;;BA)(A;;0x18d;;;PU)(A;;0x1f5;;;SY)(A;;0x185;;;AU)"
     "(A;;0x185;;;BU)(A;;0x185;;;IU)(A;;0xf01ff;;;CO)"},
    {4,
     "D:(A;;0x1003f;;;BA)(A;;0x3f;;;PU)(A;;0x1003f;;;SY)(A;;0x20009;;;AU)"
     "(A;;0x20009;;;BU)(A;;0x20009;;;IU)(A;;KA;;;CO)"},
    {5,
     "D:(A;;0x100ffb;;;BA)(A;;0x100e92;;;PU)(A;;0x100ffb;;;SY)(A;;0x100410;;;AU)"
     "(A;;0x100410;;;BU)(A;;0x100410;;;IU)(A;;0x1f0fff;;;CO)"},
    {6,
     "D:(A;;0x1000fb;;;BA)(A;;0x10006a;;;PU)(A;;0x1000fb;;;SY)(A;;0x100048;;;AU)"
     "(A;;0x100048;;;BU)(A;;0x100048;;;IU)(A;;0x1f03fb;;;CO)"},
    {9,
     "D:(A;;0x100002;;;BA)(A;;0x100002;;;PU)(A;;0x100002;;;SY)(A;;0x100002;;;AU)"
     "(A;;0x100002;;;BU)(A;;0x100002;;;IU)(A;;0x100002;;;CO)"},
    {10,
     "D:(A;;0x1f0003;;;BA)(A;;0x1f0003;;;PU)(A;;0x1f0003;;;SY)(A;;0x1f0003;;;AU)"
     "(A;;0x1f0003;;;BU)(A;;0x1f0003;;;IU)(A;;0x1f0003;;;CO)"},
    {11,
     "D:(A;;0x100001;;;BA)(A;;0x100001;;;PU)(A;;0x100001;;;SY)(A;;0x100001;;;AU)"
     "(A;;0x100001;;;BU)(A;;0x100001;;;IU)(A;;0x100001;;;CO)"},
    {12,
     "D:(A;;0x1f0001;;;BA)(A;;0x1f0001;;;PU)(A;;0x1f0001;;;SY)(A;;0x1f0001;;;AU)"
     "(A;;0x1f0001;;;BU)(A;;0x1f0001;;;IU)(A;;0x1f0001;;;CO)"},
    {19,
     "D:(A;;FA;;;BA)(A;;FA;;;PU)(A;;FA;;;SY)(A;;0x12019f;;;AU)"
     "(A;;0x12019f;;;BU)(A;;0x12019f;;;IU)(A;;FA;;;CO)"},
};

// The type's DACL as Windows writes it back, or "" for a type without rights.
std::string Expected(DWORD type) {
    for (const auto& row : kDacls) {
        if (row.type == type) return DaclSddl(FromSddl(row.dacl).get());
    }
    return "";
}

// A type with a row gets its entries in one self-relative block holding only the DACL, neither defaulted nor
// protected, with no spare bytes (three SIDs of 16 bytes and four of 12, each after an 8-byte entry header).
// Any other type gets an empty structure, and type 18 none at all.
TEST(SecurityAttributes, EveryObjectTypeGetsItsEntriesOrNone) {
    for (DWORD type = 0; type <= 22; ++type) {
        const DWORD objectType = type < 22 ? type : 0xFFFFFFFF;
        for (const bool inherit : {false, true}) {
            SCOPED_TRACE(testing::Message() << "object type " << objectType << (inherit ? ", inheritable" : ""));
            SecurityAttributes attributes(objectType, inherit);
            const SECURITY_ATTRIBUTES* structure = attributes.GetAttributes();
            const auto* descriptor = static_cast<const SECURITY_DESCRIPTOR_RELATIVE*>(
                objectType == 18 || !structure ? nullptr : structure->lpSecurityDescriptor);
            if (objectType == 18 || Expected(objectType).empty()) {
                EXPECT_EQ(objectType == 18, structure == nullptr);
                EXPECT_TRUE(!structure || (!structure->nLength && !descriptor && !structure->bInheritHandle));
                continue;
            }
            ASSERT_NE(nullptr, descriptor);
            EXPECT_EQ(24u, structure->nLength);
            EXPECT_EQ(inherit ? TRUE : FALSE, structure->bInheritHandle);
            EXPECT_TRUE(IsValidSecurityDescriptor(structure->lpSecurityDescriptor));
            EXPECT_EQ(SE_DACL_PRESENT | SE_SELF_RELATIVE, descriptor->Control);
            EXPECT_EQ(0u, descriptor->Owner | descriptor->Group | descriptor->Sacl);
            EXPECT_EQ(sizeof(SECURITY_DESCRIPTOR_RELATIVE) + sizeof(ACL) + 3 * (8 + 16) + 4 * (8 + 12),
                      GetSecurityDescriptorLength(structure->lpSecurityDescriptor));
            EXPECT_EQ(ACL_REVISION,
                      reinterpret_cast<const ACL*>(reinterpret_cast<const BYTE*>(descriptor) + descriptor->Dacl)
                          ->AclRevision);
            EXPECT_EQ(Expected(objectType), DaclSddl(structure->lpSecurityDescriptor));
        }
    }
}

// A lost descriptor (180 bytes and its heap header) would be 4 MB here.
TEST(SecurityAttributes, DescriptorsAreFreedWithTheirObjects) {
    int round = 0;
    ExpectNoGrowth(
        [&] {
            SecurityAttributes supported(++round % 2 == 0 ? 4 : 19, false);
            SecurityAttributes unsupported(3, true);  // built up to the failure, then dropped
            return supported.GetAttributes()->nLength != 0;
        },
        2000, 1024 * 1024);
}

}  // namespace

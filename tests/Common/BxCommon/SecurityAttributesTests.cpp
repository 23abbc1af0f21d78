// SecurityAttributes: the descriptor of every object type, compared with
// entry lists written from the well-known SIDs and rights, and its memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "Common/BxCommon/BxComn_SecurityAttributes.h"
#include "RegistryTestSupport.h"

using BxCommon::AccessControl::SecurityAttributes;
using namespace RegistryTesting;

namespace {

// One row per object type with rights. Trustees in DACL order: Administrators,
// Power Users, Local System, Authenticated Users, Users, Interactive, Creator Owner.
const struct {
    DWORD type;
    std::array<DWORD, 7> masks;
} kRows[] = {
    {0, {0x13013F, 0x12002F, 0x13013F, 0x120029, 0x120029, 0x120029, 0x1F01FF}},
    {1, {0x1100C7, 0x100087, 0x1100C7, 0x100081, 0x100081, 0x100081, 0x1F01FF}},
    {2, {0x101F7, 0x18D, 0x1F5, 0x185, 0x185, 0x185, 0xF01FF}},  // System differs from Administrators
    {4, {0x1003F, 0x3F, 0x1003F, 0x20009, 0x20009, 0x20009, 0xF003F}},
    {5, {0x100FFB, 0x100E92, 0x100FFB, 0x100410, 0x100410, 0x100410, 0x1F0FFF}},
    {6, {0x1000FB, 0x10006A, 0x1000FB, 0x100048, 0x100048, 0x100048, 0x1F03FB}},
    {9, {0x100002, 0x100002, 0x100002, 0x100002, 0x100002, 0x100002, 0x100002}},
    {10, {0x1F0003, 0x1F0003, 0x1F0003, 0x1F0003, 0x1F0003, 0x1F0003, 0x1F0003}},
    {11, {0x100001, 0x100001, 0x100001, 0x100001, 0x100001, 0x100001, 0x100001}},
    {12, {0x1F0001, 0x1F0001, 0x1F0001, 0x1F0001, 0x1F0001, 0x1F0001, 0x1F0001}},
    {19, {0x1F01FF, 0x1F01FF, 0x1F01FF, 0x12019F, 0x12019F, 0x12019F, 0x1F01FF}},
};

// The row's DACL in SDDL (BA, PU, SY, AU, BU, IU, CO), or "" without a row.
std::string Expected(DWORD type) {
    for (const auto& row : kRows) {
        if (row.type != type) continue;
        const auto& m = row.masks;
        char sddl[256];
        snprintf(sddl, sizeof sddl,
                 "D:(A;;%#lx;;;BA)(A;;%#lx;;;PU)(A;;%#lx;;;SY)(A;;%#lx;;;AU)(A;;%#lx;;;BU)"
                 "(A;;%#lx;;;IU)(A;;%#lx;;;CO)",
                 m[0], m[1], m[2], m[3], m[4], m[5], m[6]);
        return DaclSddl(FromSddl(sddl).get());
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

// SecurityAttributes: the descriptor of every object type, compared with DACLs
// written out from the well-known SIDs and each object type's access rights.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "Common/BxCommon/BxComn_SecurityAttributes.h"

using BxCommon::AccessControl::SecurityAttributes;

// Administrators, Power Users and Local System get their own rights;
// Authenticated Users, Users and Interactive the same reader's rights;
// Creator Owner its own; in that order, with no inheritance, owner, group or
// SACL. Type 4 (registry keys) is the one the module creates. Other types
// get an empty structure, type 18 none at all.
TEST(SecurityAttributes, EveryObjectTypeGetsItsEntriesOrNone) {
    const struct {
        DWORD type;
        const char *admins, *powerUsers, *system, *readers, *creatorOwner;
    } rights[] = {
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
    // Both sides rendered alike, so they compare entry by entry.
    const auto sddl = [](PSECURITY_DESCRIPTOR descriptor) {
        char* text = nullptr;
        const SECURITY_INFORMATION all = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                                         DACL_SECURITY_INFORMATION | SACL_SECURITY_INFORMATION;
        if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, all, &text, nullptr)) {
            return std::string("<none>");
        }
        const std::string rendered(text);
        LocalFree(text);
        return rendered;
    };
    for (const auto& row : rights) {
        const std::string readers = row.readers;
        const std::string dacl = std::string("D:(A;;") + row.admins + ";;;BA)(A;;" + row.powerUsers + ";;;PU)(A;;" +
                                 row.system + ";;;SY)(A;;" + readers + ";;;AU)(A;;" + readers + ";;;BU)(A;;" + readers +
                                 ";;;IU)(A;;" + row.creatorOwner + ";;;CO)";
        PSECURITY_DESCRIPTOR expected = nullptr;
        ASSERT_TRUE(
            ConvertStringSecurityDescriptorToSecurityDescriptorA(dacl.c_str(), SDDL_REVISION_1, &expected, nullptr));
        SecurityAttributes attributes(row.type, true);
        const SECURITY_ATTRIBUTES* structure = attributes.GetAttributes();
        ASSERT_TRUE(structure && structure->lpSecurityDescriptor) << row.type;
        EXPECT_TRUE(structure->nLength == 24 && structure->bInheritHandle == TRUE) << row.type;
        EXPECT_EQ(sddl(expected), sddl(structure->lpSecurityDescriptor)) << row.type;
        LocalFree(expected);
    }
    for (const DWORD type : {3u, 7u, 8u, 13u, 20u, 0xFFFFFFFFu}) {
        SecurityAttributes attributes(type, true);
        const SECURITY_ATTRIBUTES* structure = attributes.GetAttributes();
        EXPECT_TRUE(structure && !structure->nLength && !structure->lpSecurityDescriptor) << type;
    }
    EXPECT_EQ(nullptr, SecurityAttributes(18, false).GetAttributes());
}

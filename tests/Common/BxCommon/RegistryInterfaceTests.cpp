// The storage interface keeps its virtual slot order.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"

using BxCommon::Storage::Base;
using BxCommon::Storage::ByteBuffer;
using BxCommon::Storage::Key;

namespace {

// The vtable entry of a virtual member function. In the Itanium C++ ABI
// (which mingw-w64 GCC follows) a pointer to a virtual member holds 1 plus
// the entry's byte offset in the vtable.
template <typename MemberFunction>
ptrdiff_t VtableEntry(MemberFunction member) {
    static_assert(sizeof(member) == 2 * sizeof(ptrdiff_t), "Itanium member function pointer");
    ptrdiff_t words[2];
    std::memcpy(words, &member, sizeof(words));
    return (words[0] - 1) / static_cast<ptrdiff_t>(sizeof(void*));
}

TEST(RegistryInterface, VirtualSlotsFollowTheStorageOrder) {
    using Names = std::vector<std::wstring>;
    // The destructor comes first; this ABI gives it two entries (complete
    // and deleting), so operation n of the storage order sits at entry n + 1.
    const ptrdiff_t entries[] = {
        VtableEntry(&Base::OpenForRead),
        VtableEntry(&Base::Create),
        VtableEntry(&Base::OpenForWrite),
        VtableEntry(&Base::OpenForEnum),
        VtableEntry(&Base::Close),
        VtableEntry(&Base::Flush),
        VtableEntry(static_cast<bool (Base::*)(const std::wstring&, ByteBuffer&, DWORD*)>(&Base::GetBinaryValue)),
        VtableEntry(static_cast<bool (Base::*)(const std::wstring&, ByteBuffer&)>(&Base::GetBinaryValue)),
        VtableEntry(static_cast<std::wstring (Base::*)(const std::wstring&, const std::wstring&, DWORD*)>(
            &Base::GetStringValue)),
        VtableEntry(
            static_cast<std::wstring (Base::*)(const std::wstring&, const std::wstring&)>(&Base::GetStringValue)),
        VtableEntry(static_cast<ULONGLONG (Base::*)(const std::wstring&, const ULONGLONG&, DWORD*)>(
            &Base::GetQwordValue)),
        VtableEntry(static_cast<ULONGLONG (Base::*)(const std::wstring&)>(&Base::GetQwordValue)),
        VtableEntry(
            static_cast<DWORD (Base::*)(const std::wstring&, const DWORD&, DWORD*)>(&Base::GetDwordValue)),
        VtableEntry(static_cast<DWORD (Base::*)(const std::wstring&)>(&Base::GetDwordValue)),
        VtableEntry(&Base::SetBinaryValue),
        VtableEntry(&Base::SetStringValue),
        VtableEntry(&Base::SetQwordValue),
        VtableEntry(&Base::SetDwordValue),
        VtableEntry(&Base::DeleteKey),
        VtableEntry(static_cast<bool (Base::*)(const wchar_t*)>(&Base::DeleteValue)),
        VtableEntry(static_cast<bool (Base::*)(const std::wstring&)>(&Base::DeleteValue)),
        VtableEntry(static_cast<bool (Base::*)(Names&)>(&Base::EnumSubKeys)),
        VtableEntry(static_cast<bool (Base::*)(Names&)>(&Base::EnumValueNames)),
    };
    for (size_t slot = 1; slot <= std::size(entries); ++slot) {
        EXPECT_EQ(static_cast<ptrdiff_t>(slot + 1), entries[slot - 1]) << "slot " << slot;
    }
}

}  // namespace

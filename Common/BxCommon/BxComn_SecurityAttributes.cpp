#include "Common/BxCommon/BxComn_SecurityAttributes.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace BxCommon::AccessControl {
namespace {

// The order of the entries in the DACL.
constexpr WELL_KNOWN_SID_TYPE kTrustees[] = {
    WinBuiltinAdministratorsSid,  // S-1-5-32-544
    WinBuiltinPowerUsersSid,      // S-1-5-32-547
    WinLocalSystemSid,            // S-1-5-18
    WinAuthenticatedUserSid,      // S-1-5-11
    WinBuiltinUsersSid,           // S-1-5-32-545
    WinInteractiveSid,            // S-1-5-4
    WinCreatorOwnerSid,           // S-1-3-0
};

struct MaskRow {
    DWORD objectType;
    DWORD masks[std::size(kTrustees)];
};

// Rights per object type, one column per trustee above.
constexpr MaskRow kMaskRows[] = {
    {0, {0x0013013F, 0x0012002F, 0x0013013F, 0x00120029, 0x00120029, 0x00120029, 0x001F01FF}},
    {1, {0x001100C7, 0x00100087, 0x001100C7, 0x00100081, 0x00100081, 0x00100081, 0x001F01FF}},
    {2, {0x000101F7, 0x0000018D, 0x000001F5, 0x00000185, 0x00000185, 0x00000185, 0x000F01FF}},
    // Registry keys: Creator Owner KEY_ALL_ACCESS; the others no WRITE_DAC or
    // WRITE_OWNER; readers query and enumerate only.
    {4, {0x0001003F, 0x0000003F, 0x0001003F, 0x00020009, 0x00020009, 0x00020009, 0x000F003F}},
    {5, {0x00100FFB, 0x00100E92, 0x00100FFB, 0x00100410, 0x00100410, 0x00100410, 0x001F0FFF}},
    {6, {0x001000FB, 0x0010006A, 0x001000FB, 0x00100048, 0x00100048, 0x00100048, 0x001F03FB}},
    {9, {0x00100002, 0x00100002, 0x00100002, 0x00100002, 0x00100002, 0x00100002, 0x00100002}},
    {10, {0x001F0003, 0x001F0003, 0x001F0003, 0x001F0003, 0x001F0003, 0x001F0003, 0x001F0003}},
    {11, {0x00100001, 0x00100001, 0x00100001, 0x00100001, 0x00100001, 0x00100001, 0x00100001}},
    {12, {0x001F0001, 0x001F0001, 0x001F0001, 0x001F0001, 0x001F0001, 0x001F0001, 0x001F0001}},
    {19, {0x001F01FF, 0x001F01FF, 0x001F01FF, 0x0012019F, 0x0012019F, 0x0012019F, 0x001F01FF}},
};

// A failed security call, reported as ATL reports it: the thread's last
// error as an HRESULT, both as the code and as the ATL result.
[[noreturn]] void ThrowLastError(int line) {
    const DWORD result = static_cast<DWORD>(HRESULT_FROM_WIN32(::GetLastError()));
    throw new Exception(result, line, __FILE__, result);
}

// E_OUTOFMEMORY, as ATL reports a failed allocation.
[[noreturn]] void ThrowOutOfMemory(int line) {
    const DWORD result = static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_OUTOFMEMORY));
    throw new Exception(result, line, __FILE__, result);
}

}  // namespace

// An absolute descriptor points at its DACL, so the two live together until
// the self-relative copy is made.
struct SecurityAttributes::AbsoluteDescriptor {
    SECURITY_DESCRIPTOR descriptor{};
    std::unique_ptr<BYTE[]> dacl;
};

SecurityAttributes::SecurityAttributes(const DWORD& objectType, const bool& inherit) noexcept
    : attributes_{0, nullptr, FALSE}, objectType_(objectType), inherit_(inherit) {
    try {
        Build();
    } catch (Exception* e) {
        const std::unique_ptr<Exception> failure(e);
    } catch (...) {
        // Nothing leaves the constructor; the structure stays empty.
    }
}

SecurityAttributes::~SecurityAttributes() = default;

SECURITY_ATTRIBUTES* SecurityAttributes::GetAttributes() noexcept {
    return objectType_ == kObjectTypeNoAttributes ? nullptr : &attributes_;
}

void SecurityAttributes::Build() {
    AbsoluteDescriptor local;
    BuildDescriptor(local, objectType_);

    // The first call only measures; it fails with ERROR_INSUFFICIENT_BUFFER.
    DWORD size = 0;
    if (!::MakeSelfRelativeSD(&local.descriptor, nullptr, &size) && ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        ThrowLastError(__LINE__);
    }
    std::unique_ptr<BYTE[]> selfRelative(new (std::nothrow) BYTE[size]);
    if (!selfRelative) ThrowOutOfMemory(__LINE__);
    if (!::MakeSelfRelativeSD(&local.descriptor, selfRelative.get(), &size)) ThrowLastError(__LINE__);

    // Nothing can fail from here on, so a failure above leaves the structure
    // empty.
    descriptor_ = std::move(selfRelative);
    attributes_.nLength = sizeof(SECURITY_ATTRIBUTES);
    attributes_.lpSecurityDescriptor = descriptor_.get();
    attributes_.bInheritHandle = inherit_ ? TRUE : FALSE;
}

void SecurityAttributes::GetAccessMasks(const DWORD& objectType, AccessMasks& masks) {
    masks.fill(0);
    for (const MaskRow& row : kMaskRows) {
        if (row.objectType == objectType) {
            std::copy(std::begin(row.masks), std::end(row.masks), masks.begin());
            return;
        }
    }
    throw new Exception(ERROR_NOT_SUPPORTED, __LINE__, __FILE__);
}

void SecurityAttributes::BuildDescriptor(AbsoluteDescriptor& descriptor, const DWORD& objectType) {
    AccessMasks masks;
    GetAccessMasks(objectType, masks);

    BYTE sids[kTrusteeCount][SECURITY_MAX_SID_SIZE];
    // Each ACE is its 8-byte header and mask followed by the SID.
    DWORD aclSize = sizeof(ACL);
    for (size_t i = 0; i < kTrusteeCount; ++i) {
        DWORD sidSize = SECURITY_MAX_SID_SIZE;
        if (!::CreateWellKnownSid(kTrustees[i], nullptr, sids[i], &sidSize)) ThrowLastError(__LINE__);
        aclSize += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sids[i]);
    }

    std::unique_ptr<BYTE[]> dacl(new (std::nothrow) BYTE[aclSize]);
    if (!dacl) ThrowOutOfMemory(__LINE__);
    PACL acl = reinterpret_cast<PACL>(dacl.get());
    if (!::InitializeAcl(acl, aclSize, ACL_REVISION)) ThrowLastError(__LINE__);
    // Flags 0: explicit, and nothing propagates to objects created below.
    for (size_t i = 0; i < kTrusteeCount; ++i) {
        if (!::AddAccessAllowedAceEx(acl, ACL_REVISION, 0, masks[i], sids[i])) ThrowLastError(__LINE__);
    }

    if (!::InitializeSecurityDescriptor(&descriptor.descriptor, SECURITY_DESCRIPTOR_REVISION)) {
        ThrowLastError(__LINE__);
    }
    if (!::SetSecurityDescriptorDacl(&descriptor.descriptor, TRUE, acl, FALSE)) ThrowLastError(__LINE__);
    descriptor.dacl = std::move(dacl);
}

}  // namespace BxCommon::AccessControl

// The quiet reads: each runs its throwing form through the virtual table, so
// a derived storage's override is what they run.
#include "Common/BxCommon/BxComn_Registry.h"

#include <memory>

namespace BxCommon::Storage {
namespace {

void Absorb(Exception* raised, DWORD* errorOut) {
    const std::unique_ptr<Exception> owned(raised);
    if (errorOut != nullptr) *errorOut = owned->GetErrorCode();
}

}  // namespace

bool Registry::GetBinaryValue(const std::wstring& name, ByteBuffer& out, DWORD* errorOut) {
    try {
        return GetBinaryValue(name, out);
    } catch (Exception* e) {
        Absorb(e, errorOut);
        return false;
    }
}

std::wstring Registry::GetStringValue(const std::wstring& name, const std::wstring& def, DWORD* errorOut) {
    try {
        return GetStringValue(name, def);
    } catch (Exception* e) {
        Absorb(e, errorOut);
        return def;
    }
}

ULONGLONG Registry::GetQwordValue(const std::wstring& name, const ULONGLONG& def, DWORD* errorOut) {
    try {
        return GetQwordValue(name);
    } catch (Exception* e) {
        Absorb(e, errorOut);
        return def;
    }
}

DWORD Registry::GetDwordValue(const std::wstring& name, const DWORD& def, DWORD* errorOut) {
    try {
        return GetDwordValue(name);
    } catch (Exception* e) {
        Absorb(e, errorOut);
        return def;
    }
}

}  // namespace BxCommon::Storage

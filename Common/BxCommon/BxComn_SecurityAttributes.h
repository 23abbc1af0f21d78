// SECURITY_ATTRIBUTES whose descriptor grants a fixed set of well-known
// accounts fixed rights on one kind of securable object. Used by the registry
// storage for every key it creates.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "Common/BxCommon/BxComn_Exception.h"

namespace BxCommon::AccessControl {

// Raised while the descriptor is built; never leaves SecurityAttributes.
// Thrown as a pointer to a heap object, like the other library exceptions.
class Exception : public BxCommon::Exception::Base {
public:
    // errorCode: ERROR_NOT_SUPPORTED for an object type without rights, or
    // the HRESULT of a failed security call. atlResult: that HRESULT (0 when
    // the failure is not a failed call). file may be null.
    Exception(DWORD errorCode, int line, const char* file, DWORD atlResult = 0)
        : errorCode_(errorCode), line_(line), file_(file != nullptr ? file : ""), atlResult_(atlResult) {}
    ~Exception() override = default;

    DWORD GetErrorCode() const noexcept { return errorCode_; }
    int GetLine() const noexcept { return line_; }
    const std::string& GetFile() const noexcept { return file_; }
    DWORD GetAtlResult() const noexcept { return atlResult_; }

private:
    DWORD errorCode_;
    int line_;
    std::string file_;
    DWORD atlResult_;
};

// The object-type code of registry keys.
inline constexpr DWORD kObjectTypeRegistryKey = 4;
// The one object type for which GetAttributes() answers null.
inline constexpr DWORD kObjectTypeNoAttributes = 18;

class SecurityAttributes {
public:
    // Builds the attributes for objectType (0-2, 4-6, 9-12 and 19 have
    // rights). Never throws: for any other type, or when a security call
    // fails, the structure stays empty (length 0, no descriptor, not
    // inheritable), so an object created with it gets the default descriptor.
    SecurityAttributes(const DWORD& objectType, const bool& inherit) noexcept;
    virtual ~SecurityAttributes();
    SecurityAttributes(const SecurityAttributes&) = delete;
    SecurityAttributes& operator=(const SecurityAttributes&) = delete;

    // Null for object type 18; otherwise this object's structure, even when
    // it is empty. Valid while this object lives.
    SECURITY_ATTRIBUTES* GetAttributes() noexcept;

private:
    static constexpr size_t kTrusteeCount = 7;
    using AccessMasks = std::array<DWORD, kTrusteeCount>;
    struct AbsoluteDescriptor;

    // Throws AccessControl::Exception*; leaves the structure untouched then.
    void Build();
    // Throws AccessControl::Exception* (ERROR_NOT_SUPPORTED) for a type
    // without rights; masks are all 0 then.
    static void GetAccessMasks(const DWORD& objectType, AccessMasks& masks);
    // Throws AccessControl::Exception*.
    static void BuildDescriptor(AbsoluteDescriptor& descriptor, const DWORD& objectType);

    SECURITY_ATTRIBUTES attributes_;
    // Self-relative, so the structure points at one block.
    std::unique_ptr<BYTE[]> descriptor_;
    DWORD objectType_;
    bool inherit_;
};

}  // namespace BxCommon::AccessControl

// The product's settings under HKEY_LOCAL_MACHINE\Software\Brennix\Pellam
// (64-bit view) and the process environment, set for the life of an owner
// and removed when it goes. Setup failures throw TavrelHost::HostError.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "Common/BxCommon/BxComn_UniqueResource.h"

namespace Faults {

// Removes the product's key with everything below it, for a clean start.
void RemoveProductKey();

// "ProductPath" holding `folder`, or no such value for nothing; the value
// is removed at the end.
class ProductPathSetting {
public:
    explicit ProductPathSetting(const std::optional<std::wstring>& folder);
    ~ProductPathSetting();
    ProductPathSetting(const ProductPathSetting&) = delete;
    ProductPathSetting& operator=(const ProductPathSetting&) = delete;
};

// The exception-folder key, created empty and removed with its values at the end.
class ExceptionKey {
public:
    ExceptionKey();
    ~ExceptionKey();
    ExceptionKey(const ExceptionKey&) = delete;
    ExceptionKey& operator=(const ExceptionKey&) = delete;

    // A value stored as the suite stores a folder: encrypted.
    void AddFolder(const std::wstring& name, const std::wstring& folder);
    // A REG_SZ value holding exactly `text`.
    void SetString(const std::wstring& name, const std::wstring& text);
    // A value of any type holding exactly `size` bytes.
    void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size);

private:
    BxCommon::UniqueHKey key_;
};

// An environment variable of this process, removed at the end. Set it
// before the plug-in loads for the logging service to see it.
class EnvironmentSetting {
public:
    EnvironmentSetting(std::wstring name, const std::wstring& value);
    ~EnvironmentSetting();
    EnvironmentSetting(const EnvironmentSetting&) = delete;
    EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

private:
    std::wstring name_;
};

}  // namespace Faults

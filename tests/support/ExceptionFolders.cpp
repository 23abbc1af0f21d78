#include "ExceptionFolders.h"

#include <gtest/gtest.h>

#include "Common/BxCommon/BxComn_StringEncrypt.h"
#include "Common/Source/ParentControlCommon.h"

namespace TestSupport {
namespace {

void DeleteExceptionKey() { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kAppCtrlExceptFolderListKey, KEY_WOW64_64KEY, 0); }

}  // namespace

ExceptionFoldersScope::ExceptionFoldersScope() { DeleteExceptionKey(); }
ExceptionFoldersScope::~ExceptionFoldersScope() { DeleteExceptionKey(); }

void ExceptionFoldersScope::AddRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAppCtrlExceptFolderListKey, name.c_str(), type,
                                             data, size));
}

void ExceptionFoldersScope::AddString(const std::wstring& name, const std::wstring& text) {
    AddRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ExceptionFoldersScope::AddFolder(const std::wstring& name, const std::wstring& folder) {
    std::wstring stored;
    ASSERT_TRUE(BxCommon::Cryptograph::EncryptStringW(stored, folder));
    AddString(name, stored);
}

}  // namespace TestSupport

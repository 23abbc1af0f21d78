#include "Common/FrwkCommon/Frwk_Utility.h"

#include <windows.h>

#include <memory>
#include <new>

#include "Common/BxCommon/BxComn_DebugLog.h"
#include "Common/BxCommon/BxComn_Registry.h"
#include "Common/FrwkCommon/Frwk_ProductKey.h"

namespace Frwk::Utility {

std::wstring GetInstalledFolder() {
    std::unique_ptr<BxCommon::Storage::Registry> storage(new (std::nothrow)
                                                             BxCommon::Storage::Registry(BxCommon::Storage::kView64));
    if (!storage) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** Frwk::Utility::GetInstalledFolder() -  pStorage was invalid.");
        return {};
    }
    std::wstring folder;
    try {
        storage->OpenForRead(BxCommon::Storage::Key(HKEY_LOCAL_MACHINE, kProductKey), L"");
        folder = storage->GetStringValue(kProductPathValue, L"");
        storage->Close(false);
    } catch (BxCommon::Storage::Exception* e) {
        const std::unique_ptr<BxCommon::Storage::Exception> owned(e);
        BXDBG_TRACE(BxCommon::kDebugLevelFailure,
                    L"*** Frwk::Utility::GetInstalledFolder() -  Got BxCommon::Storage::Exception(). [0x%08x]",
                    owned->GetErrorCode());
        folder.clear();
    }
    return folder;
}

std::wstring GetSystemDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (GetWindowsDirectoryW(buffer, MAX_PATH) == 0) {
        BXDBG_TRACE(BxCommon::kDebugLevelSystem, L"*** GetSystemDirectory() - GetSystemDirectory() failed [0x%08x]",
                    GetLastError());
        return {};
    }
    // A folder longer than the buffer leaves it empty, and so the result.
    return buffer;
}

}  // namespace Frwk::Utility

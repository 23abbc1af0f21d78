// The values of the exception-folder key as stored: each an encrypted folder.
// Read the same way by the application filter and by the suite's tools.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Common/FrwkCommon/Frwk_ProductKey.h"

namespace BxCommon::Storage {
class Registry;
}

// The registry key of the exception folders, below HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kAppCtrlExceptFolderListKey[] = FRWK_PRODUCT_KEY L"\\ParentControl\\AppCtrlExceptFolderList";

namespace ParentControl {

struct StoredExceptionEntry {
    std::wstring valueName;
    // The value's string (an encrypted folder); empty when it was unreadable.
    std::wstring storedText;
    // 0, or the storage error that kept the value from being read as a string.
    DWORD readError = 0;
};

// Through `storage` (whose registry view the caller chose): opens keyPath
// below HKEY_LOCAL_MACHINE for enumeration, lists its value names and tells
// `namesListed` how many there are, closes it, opens it for reading and
// hands each value to `onEntry` in the registry's order, then closes it. A
// value that cannot be read as a string is handed on with its error, and
// the others are still read. A key that cannot be opened, listed or closed
// throws the storage's exception (a heap pointer for the catcher to delete);
// the entries handed on before stay handed on.
void ReadExceptionEntries(BxCommon::Storage::Registry& storage, const wchar_t* keyPath,
                          const std::function<void(size_t)>& namesListed,
                          const std::function<void(const StoredExceptionEntry&)>& onEntry);

// The folder that a stored entry holds: its decrypted text up to the first
// zero byte (zero bytes that only fill the end are padding). False, with
// `folder` unchanged, when the entry does not decrypt or holds other bytes
// after a zero byte: a wrong key or corrupt digits leave a zero byte in
// about every sixteenth block, and the text cut there (one letter, a
// separator) would be found in nearly every path.
bool DecryptExceptionFolder(const std::wstring& storedText, std::wstring& folder);

}  // namespace ParentControl

#include "Common/Source/ExceptionEntries.h"

#include <memory>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"
#include "Common/BxCommon/BxComn_String.h"
#include "Common/BxCommon/BxComn_StringCrypt.h"

namespace ParentControl {

void ReadExceptionEntries(BxCommon::Storage::Registry& storage, const wchar_t* keyPath,
                          const std::function<void(size_t)>& namesListed,
                          const std::function<void(const StoredExceptionEntry&)>& onEntry) {
    using namespace BxCommon::Storage;
    const Key key(HKEY_LOCAL_MACHINE, keyPath);
    storage.OpenForEnum(key, L"");
    std::vector<std::wstring> names;
    storage.EnumValueNames(names);
    namesListed(names.size());
    storage.Close(false);
    storage.OpenForRead(key, L"");
    for (const std::wstring& name : names) {
        StoredExceptionEntry entry{name, {}, ERROR_SUCCESS};
        try {
            entry.storedText = storage.GetStringValue(name, L"");
        } catch (Exception* e) {
            const std::unique_ptr<Exception> owned(e);
            entry.readError = owned->GetErrorCode();
        }
        onEntry(entry);
    }
    storage.Close(false);
}

bool DecryptExceptionFolder(const std::wstring& storedText, std::wstring& folder) {
    std::string plaintext;
    if (!BxCommon::Cryptograph::DecryptStringA(plaintext, BxCommon::String::WideToUtf8(storedText))) return false;
    const size_t end = plaintext.find('\0');
    if (end != std::string::npos && plaintext.find_first_not_of('\0', end) != std::string::npos) return false;
    folder = BxCommon::String::Utf8ToWide(plaintext);
    return true;
}

}  // namespace ParentControl

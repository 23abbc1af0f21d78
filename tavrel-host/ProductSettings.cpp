#include "tavrel-host/ProductSettings.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "Common/BxCommon/BxComn_Registry.h"
#include "Common/BxCommon/BxComn_StringEncrypt.h"
#include "Common/FrwkCommon/Frwk_ProductKey.h"
#include "Common/Source/ExceptionEntries.h"
#include "Common/Source/PathText.h"
#include "tavrel-host/HostError.h"

namespace TavrelHost {
namespace {

using BxCommon::Storage::Key;
using BxCommon::Storage::Registry;
using StorageFailure = std::unique_ptr<BxCommon::Storage::Exception>;

const Key kProductKey(HKEY_LOCAL_MACHINE, Frwk::kProductKey);
const Key kExceptionKey(HKEY_LOCAL_MACHINE, kAppCtrlExceptFolderListKey);

// Runs `body` and turns a storage failure into one line for the user.
template <typename Body>
auto Guarded(const wchar_t* what, Body body) {
    try {
        return body();
    } catch (BxCommon::Storage::Exception* e) {
        const StorageFailure failure(e);
        throw HostError(std::wstring(what) + L" failed (Windows error " + std::to_wstring(failure->GetErrorCode()) +
                        L")");
    }
}

bool KeyExists(const Key& key) {
    try {
        Registry storage(BxCommon::Storage::kView64);
        storage.OpenForRead(key, L"");
        return true;
    } catch (BxCommon::Storage::Exception* e) {
        const StorageFailure failure(e);
        if (failure->GetErrorCode() == ERROR_FILE_NOT_FOUND) return false;
        throw HostError(L"cannot open the product's registry key");
    }
}

}  // namespace

std::optional<std::wstring> ReadProductPath() {
    Registry storage(BxCommon::Storage::kView64);
    try {
        storage.OpenForRead(kProductKey, L"");
    } catch (BxCommon::Storage::Exception* e) {
        const StorageFailure failure(e);
        return std::nullopt;
    }
    DWORD error = ERROR_SUCCESS;
    std::wstring folder = storage.GetStringValue(Frwk::kProductPathValue, L"", &error);
    if (error != ERROR_SUCCESS) return std::nullopt;
    return folder;
}

void WriteProductPath(const std::wstring& folder) {
    Guarded(L"writing ProductPath", [&] {
        Registry storage(BxCommon::Storage::kView64);
        storage.Create(kProductKey, L"");
        storage.SetStringValue(Frwk::kProductPathValue, folder);
        return storage.Close(true);
    });
}

std::vector<ExceptionFolder> ReadExceptionFolders() {
    std::vector<ExceptionFolder> folders;
    if (!KeyExists(kExceptionKey)) return folders;
    return Guarded(L"reading the exception folders", [&] {
        Registry storage(BxCommon::Storage::kView64);
        ParentControl::ReadExceptionEntries(
            storage, kAppCtrlExceptFolderListKey, [](size_t) {},
            [&](const ParentControl::StoredExceptionEntry& stored) {
                ExceptionFolder entry{stored.valueName, std::nullopt};
                std::wstring folder;
                if (stored.readError == ERROR_SUCCESS &&
                    ParentControl::DecryptExceptionFolder(stored.storedText, folder)) {
                    entry.folder = folder;
                }
                folders.push_back(entry);
            });
        return folders;
    });
}

std::wstring AddExceptionFolder(const std::wstring& folder) {
    if (folder.empty()) throw HostError(L"an empty exception folder would leave every application out; refused");
    std::wstring stored;
    if (!BxCommon::Cryptograph::EncryptStringW(stored, folder)) throw HostError(L"cannot encrypt the folder");
    const std::vector<ExceptionFolder> existing = ReadExceptionFolders();
    std::wstring name;
    for (int number = 1; name.empty(); ++number) {
        std::wstring candidate = L"Folder" + std::to_wstring(number);
        if (std::none_of(existing.begin(), existing.end(),
                         [&](const ExceptionFolder& e) { return e.valueName == candidate; })) {
            name = candidate;
        }
    }
    Guarded(L"writing the exception folder", [&] {
        Registry storage(BxCommon::Storage::kView64);
        storage.Create(kExceptionKey, L"");
        storage.SetStringValue(name, stored);
        return storage.Close(true);
    });
    return name;
}

int RemoveExceptionFolder(const std::wstring& folder) {
    const std::wstring wanted = ParentControl::LowerCaseLetters(folder);
    int removed = 0;
    for (const ExceptionFolder& entry : ReadExceptionFolders()) {
        if (!entry.folder || ParentControl::LowerCaseLetters(*entry.folder) != wanted) continue;
        Guarded(L"removing the exception folder", [&] {
            Registry storage(BxCommon::Storage::kView64);
            storage.OpenForWrite(kExceptionKey, L"");
            storage.DeleteValue(entry.valueName);
            return storage.Close(true);
        });
        ++removed;
    }
    return removed;
}

}  // namespace TavrelHost

// The product's settings in HKEY_LOCAL_MACHINE (64-bit view) that the
// plug-in reads: the installation folder and the encrypted exception folders.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace TavrelHost {

struct ExceptionFolder {
    std::wstring valueName;
    std::optional<std::wstring> folder;  // nothing: the value does not decrypt
};

std::optional<std::wstring> ReadProductPath();
void WriteProductPath(const std::wstring& folder);

std::vector<ExceptionFolder> ReadExceptionFolders();
// Stores the folder encrypted under a new value name; answers that name.
std::wstring AddExceptionFolder(const std::wstring& folder);
// Deletes every value that decrypts to `folder` (letters compared without
// case); answers how many.
int RemoveExceptionFolder(const std::wstring& folder);

}  // namespace TavrelHost

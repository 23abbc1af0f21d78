#include "Folder.h"

#include <windows.h>

namespace Quennet {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Length of the part that is not created: `C:\`, `\\server\share\`, or the
// same behind a `\\?\` prefix. 0 when the path has no recognised root.
size_t RootLength(const std::wstring& path) {
    size_t start = 0;
    bool unc = false;
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        start = 8;
        unc = true;
    } else if (path.compare(0, 4, L"\\\\?\\") == 0) {
        start = 4;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        start = 2;
        unc = true;
    }
    if (unc) {
        size_t server = path.find(L'\\', start);
        if (server == std::wstring::npos || server == start) return 0;
        size_t share = path.find(L'\\', server + 1);
        if (share == server + 1) return 0;
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    if (path.size() >= start + 3 && path[start + 1] == L':' && path[start + 2] == L'\\') return start + 3;
    return 0;
}

// GetFullPathNameW keeps characters that no file name may hold; CreateDirectoryW
// would refuse them too, but not under every file system Wine maps, so
// they are refused here.
bool HasValidNames(const std::wstring& path, size_t root) {
    for (size_t i = root; i < path.size(); ++i) {
        wchar_t c = path[i];
        if (c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'|' || c == L'?' || c == L'*' ||
            c == L'/') {
            return false;
        }
    }
    return true;
}

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring FullPath(const wchar_t* path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return {};
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);  // too small: length counts the terminator
    }
}

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
    // CreateDirectoryW stops at 248 characters, the file calls at MAX_PATH;
    // leave room for the file name that is appended later.
    if (path.size() < 240 || path.compare(0, 4, L"\\\\?\\") == 0) return path;
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool PrepareFolder(const wchar_t* folder, std::wstring& full) {
    if (folder == nullptr || *folder == L'\0') return false;
    std::wstring path = FullPath(folder);
    size_t root = RootLength(path);
    if (root == 0) return false;
    while (path.size() > root && IsSeparator(path.back())) path.pop_back();
    if (!HasValidNames(path, root)) return false;

    // Errors on the way are not decisive (an existing parent may refuse
    // creation with access denied); whether the folder exists at the end is.
    for (size_t pos = path.find(L'\\', root); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1)) {
        CreateDirectoryW(LongPathForm(path.substr(0, pos)).c_str(), nullptr);
    }
    CreateDirectoryW(LongPathForm(path).c_str(), nullptr);
    if (!IsFolder(path)) return false;
    full = std::move(path);
    return true;
}

}  // namespace Quennet

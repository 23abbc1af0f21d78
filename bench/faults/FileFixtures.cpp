#include "FileFixtures.h"

#include <windows.h>
#include <shlobj.h>

#include "Common/BxCommon/BxComn_FolderTree.h"
#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Common/BxCommon/InstComn_ShellLinkCreate.h"
#include "tavrel-host/HostError.h"

namespace Faults {
namespace {

using BxCommon::FolderTree::CreateFolders;
using BxCommon::FolderTree::RemoveTree;
using TavrelHost::HostError;

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

[[noreturn]] void Fail(const std::wstring& what) {
    throw HostError(L"cannot " + what + L" (Windows error " + std::to_wstring(GetLastError()) + L")");
}

}  // namespace

std::wstring StartMenuFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, path))) {
        throw HostError(L"cannot find the Start Menu folder");
    }
    return path;
}

void ClearStartMenu() {
    const std::wstring menu = StartMenuFolder();
    RemoveTree(menu);
    CreateFolders(menu);
}

ScratchTree::ScratchTree(std::wstring path) : path_(std::move(path)) {
    RemoveTree(path_);
    CreateFolders(path_);
    if (GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) Fail(L"create " + path_);
}

ScratchTree::~ScratchTree() { RemoveTree(path_); }

std::wstring ScratchTree::Path(const std::wstring& relative) const {
    return relative.empty() ? path_ : path_ + L'\\' + relative;
}

void PlaceProgram(const std::wstring& path) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    CreateFolders(ParentOf(path));
    if (!CopyFileW((std::wstring(system) + L"\\winver.exe").c_str(), path.c_str(), FALSE)) Fail(L"create " + path);
}

void PlaceShortcut(const std::wstring& shortcut, const std::wstring& target) {
    CreateFolders(ParentOf(shortcut));
    const HRESULT hr = InstCommon::Utility::ShellLink::CreateShortcut(shortcut, target, L"fault case");
    if (FAILED(hr)) throw HostError(L"cannot save " + shortcut + L" (HRESULT " + std::to_wstring(hr) + L")");
}

void PlaceFile(const std::wstring& path, const std::string& bytes) {
    CreateFolders(ParentOf(path));
    const BxCommon::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        Fail(L"write " + path);
    }
}

}  // namespace Faults

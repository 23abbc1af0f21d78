#include "Shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "Common/BxCommon/InstComn_ShellLinkCreate.h"
#include "TempFolder.h"
#include "TextFile.h"

namespace TestSupport {
namespace {

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

}  // namespace

ComScope::ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
ComScope::~ComScope() { CoUninitialize(); }

void WriteShortcut(const std::wstring& shortcut, const std::wstring& target, const std::wstring& description) {
    CreateFolders(FolderOf(shortcut));
    HRESULT hr = InstCommon::Utility::ShellLink::CreateShortcut(shortcut, target, description);
    ASSERT_TRUE(SUCCEEDED(hr)) << "saving a shortcut failed: 0x" << std::hex << hr;
}

std::wstring StartMenuFolder() {
    wchar_t path[MAX_PATH] = {};
    EXPECT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, path)));
    return path;
}

void WriteEmptyFile(const std::wstring& path) {
    CreateFolders(FolderOf(path));
    ASSERT_TRUE(WriteBytes(path, {})) << GetLastError();
}

void PlaceExecutable(const std::wstring& path) {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    CopyFileTo(std::wstring(windows) + L"\\system32\\winver.exe", path);
}

}  // namespace TestSupport

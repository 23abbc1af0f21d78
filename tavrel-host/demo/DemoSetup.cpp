// tavrel-demo-setup: prepares the demo that scripts/demo.sh lists. In the
// Wine prefix it runs in it creates (again, if they are there already):
// - the product's folder with its console, and "ProductPath" pointing to it;
// - a few applications, each in a folder of its own (copies of winver.exe);
// - a Start Menu folder "Demo" with shortcuts to them and to Wine's own
//   programs, a file that is not a shortcut and a shortcut whose target is gone;
// - one encrypted exception folder, C:\Games.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "Common/BxCommon/BxComn_FolderTree.h"
#include "Common/BxCommon/InstComn_ShellLinkCreate.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/ProductSettings.h"

namespace {

using BxCommon::FolderTree::CreateFolders;
using TavrelHost::HostError;

const std::wstring kProductFolder = L"C:\\Program Files\\Brennix\\Pellam";

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

void PlaceProgram(const std::wstring& path) {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    CreateFolders(FolderOf(path));
    if (!CopyFileW((std::wstring(windows) + L"\\system32\\winver.exe").c_str(), path.c_str(), FALSE)) {
        throw HostError(L"cannot create " + path + L" (Windows error " + std::to_wstring(GetLastError()) + L")");
    }
}

void PlaceShortcut(const std::wstring& shortcut, const std::wstring& target, const std::wstring& description) {
    CreateFolders(FolderOf(shortcut));
    HRESULT hr = InstCommon::Utility::ShellLink::CreateShortcut(shortcut, target, description);
    if (FAILED(hr)) throw HostError(L"cannot save " + shortcut + L" (HRESULT " + std::to_wstring(hr) + L")");
}

std::wstring StartMenuFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, path))) {
        throw HostError(L"cannot find the Start Menu folder");
    }
    return path;
}

void Run() {
    PlaceProgram(kProductFolder + L"\\PellamConsole.exe");
    TavrelHost::WriteProductPath(kProductFolder);
    PlaceProgram(L"C:\\Apps\\Chess\\Chess.exe");
    PlaceProgram(L"C:\\Apps\\Paint Studio\\PaintStudio.exe");
    PlaceProgram(L"C:\\Games\\Solitaire\\Solitaire.exe");

    const std::wstring demo = StartMenuFolder() + L"\\Programs\\Demo";
    PlaceShortcut(demo + L"\\Chess.lnk", L"C:\\Apps\\Chess\\Chess.exe", L"Play chess against the computer");
    PlaceShortcut(demo + L"\\Graphics\\Paint Studio.lnk", L"C:\\Apps\\Paint Studio\\PaintStudio.exe",
                  L"Draw and paint");
    PlaceShortcut(demo + L"\\Games\\Solitaire.lnk", L"C:\\Games\\Solitaire\\Solitaire.exe", L"Card game");
    PlaceShortcut(demo + L"\\Pellam Console.lnk", kProductFolder + L"\\PellamConsole.exe", L"The suite itself");
    PlaceShortcut(demo + L"\\Notepad.lnk", L"C:\\windows\\notepad.exe", L"Part of Windows");
    PlaceShortcut(demo + L"\\Internet Explorer.lnk", L"C:\\Program Files\\Internet Explorer\\iexplore.exe",
                  L"Browse the web");

    // A target that is gone: its shortcut is resolved, then left out.
    PlaceProgram(L"C:\\Apps\\Removed\\Gone.exe");
    PlaceShortcut(demo + L"\\Gone.lnk", L"C:\\Apps\\Removed\\Gone.exe", L"Uninstalled long ago");
    DeleteFileW(L"C:\\Apps\\Removed\\Gone.exe");

    HANDLE readme = CreateFileW((demo + L"\\Readme.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (readme != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(readme, "Not a shortcut.\r\n", 17, &written, nullptr);
        CloseHandle(readme);
    }

    bool haveGames = false;
    for (const auto& entry : TavrelHost::ReadExceptionFolders()) haveGames |= entry.folder == L"C:\\Games";
    if (!haveGames) TavrelHost::AddExceptionFolder(L"C:\\Games");
    TavrelHost::WriteOut(L"demo ready: " + demo + L"\n");
}

}  // namespace

int wmain() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 0;
    try {
        Run();
    } catch (const HostError& error) {
        TavrelHost::WriteError(L"tavrel-demo-setup: " + error.Message() + L"\n");
        status = 2;
    }
    CoUninitialize();
    return status;
}

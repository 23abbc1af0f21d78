// list-bench: task 1 over a generated Start Menu of 1,000 shortcuts in 50
// folders, with 20 exception entries, per call and per shortcut, and where
// the time goes: shortcut resolution, and the exception filter (registry
// reads and decryptions) that every candidate application costs.
// Writes below the prefix's Start Menu and HKLM\Software\Brennix\Pellam, and
// removes what it wrote.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchTimer.h"
#include "Common/BxCommon/BxComn_FolderTree.h"
#include "Common/BxCommon/BxComn_StringEncrypt.h"
#include "Common/BxCommon/InstComn_ShellLink.h"
#include "Common/BxCommon/InstComn_ShellLinkCreate.h"
#include "Common/Source/ParentControlCommon.h"
#include "Platform/Jorvex/include/Jorvex/JsonValue.h"
#include "Tavrel/Plugin/TavrelInterface.h"

namespace {

using BxCommon::FolderTree::CreateFolders;
using BxCommon::FolderTree::RemoveTree;

constexpr int kFolders = 50;
constexpr int kShortcutsPerFolder = 20;
constexpr int kExceptions = 20;
const std::wstring kAppsRoot = L"C:\\TavrelBench\\Apps";

void SetValue(const wchar_t* keyPath, const std::wstring& name, const std::wstring& value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                    nullptr);
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t startMenu[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, startMenu);
    const std::wstring menu = std::wstring(startMenu) + L"\\Programs\\TavrelBench";

    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    CreateFolders(kAppsRoot);
    CopyFileW((std::wstring(windows) + L"\\system32\\winver.exe").c_str(), (kAppsRoot + L"\\app.exe").c_str(), FALSE);
    std::vector<std::wstring> shortcuts;
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::wstring sub = menu + L"\\Folder" + std::to_wstring(folder);
        CreateFolders(sub);
        for (int i = 0; i < kShortcutsPerFolder; ++i) {
            shortcuts.push_back(sub + L"\\App" + std::to_wstring(i) + L".lnk");
            InstCommon::Utility::ShellLink::CreateShortcut(shortcuts.back(), kAppsRoot + L"\\app.exe", L"bench");
        }
    }
    SetValue(Frwk::kProductKey, Frwk::kProductPathValue, L"C:\\Program Files\\Brennix\\Pellam");
    for (int i = 0; i < kExceptions; ++i) {
        std::wstring stored;
        BxCommon::Cryptograph::EncryptStringW(stored, L"D:\\Excluded\\Folder" + std::to_wstring(i));
        SetValue(kAppCtrlExceptFolderListKey, L"Folder" + std::to_wstring(i), stored);
    }

    const double count = static_cast<double>(shortcuts.size());
    JsonHandle request = JSON_HANDLE_DEFAULT_INIT;
    VESK_PA_JsonValue_CreateJsonHandle(&request);
    VESK_PA_JsonValue_Reader(request, L"{\"TaskID\":1}");
    const double perCall = Bench::NanosecondsPerCall(
        1,
        [&] {
            JsonHandle response = JSON_HANDLE_DEFAULT_INIT;
            VESK_PA_JsonValue_CreateJsonHandle(&response);
            Interface_FastCall_CallFunc(&request, &response);
            VESK_PA_JsonValue_DestroyJsonHandle(&response);
        },
        3);
    VESK_PA_JsonValue_DestroyJsonHandle(&request);
    std::printf("task 1 over %d shortcuts in %d folders, %d exception entries\n", static_cast<int>(count), kFolders,
                kExceptions);
    Bench::Report("  per call", perCall);
    Bench::Report("  per shortcut", perCall / count);

    int resolved = 0;
    const double resolve = Bench::NanosecondsPerCall(
        1,
        [&] {
            for (const std::wstring& shortcut : shortcuts) {
                std::wstring target, description;
                resolved += InstCommon::Utility::ShellLink::ResolveShortcut(shortcut, target, description, 100) ? 1 : 0;
            }
        },
        1);
    Bench::Report("  of which shortcut resolution, per shortcut", resolve / count);
    const double filter = Bench::NanosecondsPerCall(
        1,
        [&] {
            for (size_t i = 0; i < shortcuts.size(); ++i) CParentControlCommon::IsFilteredApp(kAppsRoot + L"\\app.exe");
        },
        1);
    Bench::Report("  of which exception filter, per shortcut", filter / count);

    RemoveTree(menu);
    RemoveTree(L"C:\\TavrelBench");
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kAppCtrlExceptFolderListKey, KEY_WOW64_64KEY, 0);
    CoUninitialize();
    return resolved == static_cast<int>(count) ? 0 : 1;
}

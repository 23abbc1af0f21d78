// The built Tavrel.dll as a host sees it: its export table, its version
// resource, and where its logging service writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ChildProcess.h"
#include "JsonQuoted.h"
#include "tavrel-host/OwnedJson.h"
#include "LoadedPlugin.h"
#include "LogFile.h"
#include "ProductRegistry.h"
#include "TempFolder.h"

using namespace TestSupport;

namespace {

std::vector<std::string> ExportedNames(HMODULE module, DWORD* functionCount) {
    auto base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR64_MAGIC, nt->OptionalHeader.Magic) << "not a PE32+ image";
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        result.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    *functionCount = exports->NumberOfFunctions;
    std::sort(result.begin(), result.end());
    return result;
}

std::wstring VersionString(const std::wstring& path, const std::wstring& name) {
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (data.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return {};
    wchar_t* value = nullptr;
    UINT length = 0;
    std::wstring query = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) return {};
    return std::wstring(value);
}

using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

EntryPoint EntryPointOf(HMODULE module) {
    auto base = reinterpret_cast<BYTE*>(module);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS64*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    return reinterpret_cast<EntryPoint>(base + nt->OptionalHeader.AddressOfEntryPoint);
}

}  // namespace

TEST(PluginDll, ExportsExactlyTheFourInterfaceFunctionsByName) {
    LoadedPlugin plugin;
    DWORD functionCount = 0;
    std::vector<std::string> names = ExportedNames(plugin.Handle(), &functionCount);
    EXPECT_EQ((std::vector<std::string>{"Interface_FastCall_CallFunc", "Interface_FastCall_Initialize",
                                        "Interface_FastCall_Uninitialize", "Interface_FastCall_Versioning"}),
              names);
    EXPECT_EQ(4u, functionCount) << "no function may be exported by ordinal only";
}

TEST(PluginDll, VersionResourceNamesFileVersionProductAndDescription) {
    std::wstring path = BinaryFolder() + L"Tavrel.dll";
    EXPECT_EQ(L"1.0.0.1", VersionString(path, L"FileVersion"));
    EXPECT_EQ(L"Pellam Parental Control", VersionString(path, L"ProductName"));
    EXPECT_FALSE(VersionString(path, L"FileDescription").empty());
}

TEST(PluginDll, VersionQueryAnswersTheInterfaceVersion) {
    LoadedPlugin plugin;
    DWORD version = 0;
    EXPECT_EQ(0x20ff0000u, plugin.Versioning(&version));
    EXPECT_EQ(0x00010001u, version);
}

class PluginLogFolder : public ::testing::Test {
protected:
    TempFolder root;
};

TEST_F(PluginLogFolder, LogGoesBesideTheInstallationFolderWithOrWithoutTrailingSeparator) {
    for (const std::wstring& suffix : {std::wstring(L""), std::wstring(L"\\")}) {
        std::wstring logFile = root / L"VESK\\Tavrel.log";
        DeleteFileW(logFile.c_str());
        {
            ProductPathScope product(root / L"Suite" + suffix);
            LoadedPlugin plugin(L"2");
            plugin.Initialize();
            plugin.Uninitialize();
        }
        auto lines = ReadLogFile(logFile);
        ASSERT_EQ(5u, lines.size()) << "suffix '" << (suffix.empty() ? "" : "\\") << "'";
        EXPECT_EQ(L"Tavrel/Plugin/DllMain.cpp", lines[0].source);
        EXPECT_EQ(2u, lines[0].level);
        std::vector<std::wstring> texts = TextsOf(lines);
        EXPECT_EQ(
            (std::vector<std::wstring>{L"Log Module initialized!", L"==> Interface_FastCall_Initialize",
                                       L"<== Interface_FastCall_Initialize", L"==> Interface_FastCall_Uninitialize",
                                       L"<== Interface_FastCall_Uninitialize"}),
            texts);
        EXPECT_EQ(0u, lines[2].line);
    }
}

TEST_F(PluginLogFolder, WithoutProductPathTheLogFolderIsRelative) {
    std::wstring work = root / L"work";
    CreateFolders(work);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(work.c_str());
    {
        ProductPathScope product(std::nullopt);
        LoadedPlugin plugin(L"2");
    }
    SetCurrentDirectoryW(previous);
    auto lines = ReadLogFile(root / L"VESK\\Tavrel.log");
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(L"Log Module initialized!", lines[0].text);
}

TEST_F(PluginLogFolder, LevelFiveKeepsTracesOutButNotFailures) {
    ProductPathScope product(root / L"Suite");
    {
        LoadedPlugin plugin(L"5");
        TavrelHost::OwnedJson request(L"{\"TaskID\":7}");
        TavrelHost::OwnedJson response(L"{\"kept\":1}");
        plugin.Initialize();
        EXPECT_EQ(0x20ff0000u, plugin.CallFunc(request.Get(), response.Get()));
        EXPECT_EQ(L"{\"kept\":1}", response.ToText());
    }
    auto lines = ReadLogFile(root / L"VESK\\Tavrel.log");
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(L"Invalid Task ID:0x7", lines[0].text);
    EXPECT_EQ(5u, lines[0].level);
}

TEST_F(PluginLogFolder, LoadHandlerDoesNothingForThreadNotifications) {
    ProductPathScope product(root / L"Suite");
    {
        LoadedPlugin plugin(L"2");
        EntryPoint entry = EntryPointOf(plugin.Handle());
        EXPECT_TRUE(entry(reinterpret_cast<HINSTANCE>(plugin.Handle()), DLL_THREAD_ATTACH, nullptr));
        EXPECT_TRUE(entry(reinterpret_cast<HINSTANCE>(plugin.Handle()), DLL_THREAD_DETACH, nullptr));
    }
    auto lines = ReadLogFile(root / L"VESK\\Tavrel.log");
    EXPECT_EQ(std::vector<std::wstring>{L"Log Module initialized!"}, TextsOf(lines));
}

// The built Tavrel.dll as a host sees it: its export table and where its
// logging service writes. The service's level is set
// through its environment before the load starts the service; freeing the
// module unloads the service, so each load starts a fresh one.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <vector>

#include "ChildProcess.h"
#include "ExportCall.h"
#include "ProductRegistry.h"
#include "TempFolder.h"
#include "TextFile.h"
#include "tavrel-host/PluginModule.h"

using namespace TestSupport;
using TavrelHost::PluginModule;

namespace {

const IMAGE_NT_HEADERS64* HeadersOf(const PluginModule& plugin) {
    const auto* base = reinterpret_cast<const BYTE*>(plugin.Handle());
    return reinterpret_cast<const IMAGE_NT_HEADERS64*>(base +
                                                       reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
}

// The log's lines as "L<level> <text>": time, process, thread and source position left out.
std::vector<std::wstring> LogLines(const std::wstring& path) {
    static const std::wregex record(LR"(^\S+ \S+ \d+ \d+ (L\d+) .*?\(\d+\): (.*?)\r?$)");
    std::vector<std::wstring> lines;
    std::wistringstream stream(ReadUtf8File(path));
    for (std::wstring line; std::getline(stream, line);) lines.push_back(std::regex_replace(line, record, L"$1 $2"));
    return lines;
}

}  // namespace

TEST(PluginDll, ExportsTheFourInterfaceFunctionsByNameAndItsVersion) {
    PluginModule plugin;
    const auto* base = reinterpret_cast<const BYTE*>(plugin.Handle());
    const IMAGE_NT_HEADERS64* headers = HeadersOf(plugin);
    ASSERT_EQ(IMAGE_NT_OPTIONAL_HDR64_MAGIC, headers->OptionalHeader.Magic) << "not a PE32+ image";
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        base + headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> found;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        found.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ((std::vector<std::string>{"Interface_FastCall_CallFunc", "Interface_FastCall_Initialize",
                                        "Interface_FastCall_Uninitialize", "Interface_FastCall_Versioning"}),
              found);
    EXPECT_EQ(4u, exports->NumberOfFunctions) << "no function may be exported by ordinal only";
    DWORD version = 0;
    EXPECT_EQ(0x20ff0000u, plugin.Versioning(&version));
    EXPECT_EQ(0x00010001u, version);
}

class PluginLogFolder : public ::testing::Test {
protected:
    TempFolder root;
};

TEST_F(PluginLogFolder, LogGoesBesideTheInstallationFolderWithOrWithoutTrailingSeparator) {
    for (const wchar_t* separator : {L"", L"\\"}) {
        const std::wstring log = root / L"VESK\\Tavrel.log";
        DeleteFileW(log.c_str());
        {
            ProductPathScope product(root / L"Suite" + separator);
            EnvironmentVariable level(L"QUENNET_LOG_LEVEL", L"2");
            PluginModule plugin;
            EXPECT_EQ(0x20ff0000u, plugin.Initialize());
            EXPECT_EQ(0x20ff0000u, plugin.Uninitialize());
        }
        EXPECT_EQ((std::vector<std::wstring>{L"L2 Log Module initialized!", L"L2 ==> Interface_FastCall_Initialize",
                                             L"L2 <== Interface_FastCall_Initialize",
                                             L"L2 ==> Interface_FastCall_Uninitialize",
                                             L"L2 <== Interface_FastCall_Uninitialize"}),
                  LogLines(log))
            << "separator '" << separator << "'";
        EXPECT_NE(std::wstring::npos, ReadUtf8File(log).find(L" Tavrel/Plugin/DllMain.cpp("))
            << "the source as named in the tree";
    }
}

// The load handler ignores thread notifications.
TEST_F(PluginLogFolder, WithoutProductPathTheLogFolderIsRelative) {
    CreateFolders(root / L"work");
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW((root / L"work").c_str());
    {
        ProductPathScope product(std::nullopt);
        EnvironmentVariable level(L"QUENNET_LOG_LEVEL", L"2");
        PluginModule plugin;
        const auto entry = reinterpret_cast<BOOL(WINAPI*)(HMODULE, DWORD, void*)>(
            reinterpret_cast<const BYTE*>(plugin.Handle()) + HeadersOf(plugin)->OptionalHeader.AddressOfEntryPoint);
        EXPECT_TRUE(entry(plugin.Handle(), DLL_THREAD_ATTACH, nullptr));
        EXPECT_TRUE(entry(plugin.Handle(), DLL_THREAD_DETACH, nullptr));
    }
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(std::vector<std::wstring>{L"L2 Log Module initialized!"}, LogLines(root / L"VESK\\Tavrel.log"));
}

TEST_F(PluginLogFolder, LevelFiveKeepsTracesOutButNotFailures) {
    ProductPathScope product(root / L"Suite");
    {
        EnvironmentVariable level(L"QUENNET_LOG_LEVEL", L"5");
        PluginModule plugin;
        plugin.Initialize();
        const auto callFunc = [&](auto... handles) { return plugin.CallFunc(handles...); };
        EXPECT_EQ(L"{\"kept\":1}", SendThrough(callFunc, L"{\"TaskID\":7}", L"{\"kept\":1}"));
    }
    EXPECT_EQ(std::vector<std::wstring>{L"L5 Invalid Task ID:0x7"}, LogLines(root / L"VESK\\Tavrel.log"));
}

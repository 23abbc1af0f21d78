// tavrel-host run as a real process, the way people and scripts use it.
#include <gtest/gtest.h>

#include <algorithm>

#include "ChildProcess.h"
#include "ExceptionFolders.h"
#include "HostProcess.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "TempFolder.h"
#include "TextFile.h"
#include "WindowApp.h"

using namespace TestSupport;

namespace {

size_t LineCount(const std::wstring& text) { return std::count(text.begin(), text.end(), L'\n'); }

void CopyBeside(const std::wstring& folder, const wchar_t* from, const wchar_t* to) {
    ASSERT_TRUE(CopyFileW((BinaryFolder() + from).c_str(), (folder + L"\\" + to).c_str(), FALSE)) << GetLastError();
}

}  // namespace

TEST(HostTool, VersionPrintsInterfaceAndFileVersionAndDigest) {
    ProcessResult result = Host(L"--version");
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(0u, result.exitCode) << result.err;
    // The digest's value is checked against the release archive's SHA256SUMS
    // (tests/package/CheckArchive.sh); here, its form.
    const std::wstring versions = L"interface version 0x00010001\nfile version 1.0.0.1\nTavrel.dll SHA-256 ";
    ASSERT_EQ(versions, result.out.substr(0, versions.size())) << result.out;
    const std::wstring digest = result.out.substr(versions.size());
    EXPECT_EQ(65u, digest.size()) << digest;
    EXPECT_EQ(std::wstring::npos, digest.find_first_not_of(L"0123456789abcdef\n")) << digest;
}

TEST(HostTool, CallSendsTheRequestFromArgumentFileOrStandardInput) {
    TempFolder folder;
    ASSERT_TRUE(WriteUtf8File(folder / L"request.json", L"{\"TaskID\":7}"));
    for (const auto& [arguments, input] : {std::pair<std::wstring, std::string>{L"call \"{\\\"TaskID\\\":7}\"", ""},
                                           {L"call --file " + Quote(folder / L"request.json"), ""},
                                           {L"call -", "{\"TaskID\":7}"}}) {
        ProcessResult result = Host(arguments, input);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(0u, result.exitCode) << result.err;
        EXPECT_EQ(L"{}\n", result.out);
        EXPECT_EQ(L"", result.err);
    }
}

TEST(HostTool, MalformedRequestSaysWhereAndSendsNothing) {
    ProcessResult result = Host(L"call \"{\\\"TaskID\\\": tru}\"");
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(2u, result.exitCode);
    EXPECT_EQ(L"", result.out);
    EXPECT_EQ(1u, LineCount(result.err));
    EXPECT_NE(std::wstring::npos, result.err.find(L"malformed request JSON at byte 15: ")) << result.err;
}

TEST(HostTool, BadUsageGetsOneLineAndStatusTwo) {
    for (const wchar_t* arguments : {L"frobnicate", L"call", L"call --file", L"call a b"}) {
        ProcessResult result = Host(arguments);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(2u, result.exitCode) << arguments;
        EXPECT_EQ(1u, LineCount(result.err)) << arguments;
    }
    ProcessResult missingFile = Host(L"call --file C:\\no\\such\\request.json");
    EXPECT_EQ(2u, missingFile.exitCode);
    EXPECT_NE(std::wstring::npos, missingFile.err.find(L"cannot read")) << missingFile.err;
}

TEST(HostTool, HelpListsTheCommands) {
    ProcessResult result = Host(L"--help");
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_NE(std::wstring::npos, result.out.find(L"call '<json>'"));
    EXPECT_NE(std::wstring::npos, result.out.find(L"--version"));
}

TEST(HostTool, MissingModuleOrExportIsNamed) {
    TempFolder folder;
    CopyBeside(folder.Path(), L"tavrel-host.exe", L"tavrel-host.exe");
    CopyBeside(folder.Path(), L"Jorvex.dll", L"Jorvex.dll");
    std::wstring host = Quote(folder / L"tavrel-host.exe");
    // The current folder holds every DLL of the build; none may be taken
    // from there.
    const auto RunInBuildFolder = [](const std::wstring& commandLine) {
        return RunProcess(commandLine, 30000, {}, BinaryFolder());
    };

    ProcessResult missingModule = RunInBuildFolder(host + L" --version");
    EXPECT_EQ(2u, missingModule.exitCode);
    EXPECT_NE(std::wstring::npos, missingModule.err.find(L"cannot load")) << missingModule.err;
    EXPECT_NE(std::wstring::npos, missingModule.err.find(L"Tavrel.dll")) << missingModule.err;

    // explain needs no plug-in, but the logging service it logs through.
    ProcessResult missingLogging = RunInBuildFolder(host + L" explain " + Quote(folder / L"tavrel-host.exe"));
    EXPECT_EQ(2u, missingLogging.exitCode);
    EXPECT_NE(std::wstring::npos, missingLogging.err.find(L"cannot load Quennet.dll")) << missingLogging.err;

    // The plug-in without the logging service it imports.
    CopyBeside(folder.Path(), L"Tavrel.dll", L"Tavrel.dll");
    ProcessResult missingImport = RunInBuildFolder(host + L" list");
    EXPECT_EQ(2u, missingImport.exitCode);
    EXPECT_NE(std::wstring::npos, missingImport.err.find(L"cannot load")) << missingImport.err;

    // A DLL of that name without the interface.
    CopyBeside(folder.Path(), L"Jorvex.dll", L"Tavrel.dll");
    ProcessResult missingExport = RunInBuildFolder(host + L" call {}");
    EXPECT_EQ(2u, missingExport.exitCode);
    EXPECT_NE(std::wstring::npos, missingExport.err.find(L"does not export Interface_FastCall_Versioning"))
        << missingExport.err;
}

TEST(HostTool, StopClosesTheNamedApplication) {
    TempFolder folder;
    WindowApp app(L"--top 1", folder / L"Apps\\Game.exe");
    ASSERT_TRUE(app.WaitUntilReady());
    std::wstring path = folder / L"apps\\game.exe";
    for (wchar_t& c : path) c = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;

    ProcessResult result = Host(L"stop --pid " + std::to_wstring(app.Pid()) + L" --path " + Quote(path));

    EXPECT_EQ(0u, result.exitCode) << result.err;
    EXPECT_EQ(L"asked 1 application(s) to close\n", result.out);
    EXPECT_EQ(std::optional<DWORD>(7), app.WaitForExit(20000));
}

TEST(HostTool, StopRefusesMalformedPairs) {
    // Process ids are decimal: no octal "010", no hex "0x10", no sign or space.
    for (const wchar_t* arguments :
         {L"stop", L"stop --pid 1", L"stop --pid x --path p", L"stop --pid -1 --path p",
          L"stop --pid 4294967296 --path p", L"stop --path p --pid 1", L"stop --pid 0x10 --path p",
          L"stop --pid +1 --path p", L"stop --pid \" 1\" --path p", L"stop --pid 99999999999999999999 --path p"}) {
        ProcessResult result = Host(arguments);
        EXPECT_EQ(2u, result.exitCode) << arguments;
        EXPECT_EQ(1u, LineCount(result.err)) << arguments;
    }
}

TEST(HostTool, ProductPathIsShownAndSet) {
    ProductPathScope restore(std::nullopt);
    EXPECT_EQ(L"(not set)\n", Host(L"product-path").out);
    ProcessResult set = Host(L"product-path \"C:\\Program Files\\Brennix\\Pellam\"");
    EXPECT_EQ(0u, set.exitCode) << set.err;
    EXPECT_EQ(L"C:\\Program Files\\Brennix\\Pellam\n", Host(L"product-path").out);
    EXPECT_EQ(2u, Host(L"product-path a b").exitCode);
}

TEST(HostTool, ExceptionFoldersAreAddedListedDecryptedAndRemoved) {
    ExceptionFoldersScope restore;
    EXPECT_EQ(L"(no exception folders)\n", Host(L"exceptions list").out);
    EXPECT_EQ(L"added C:\\Games as Folder1\n", Host(L"exceptions add C:\\Games").out);
    EXPECT_EQ(L"added D:\\Kids as Folder2\n", Host(L"exceptions add D:\\Kids").out);
    restore.AddString(L"Broken", L"00");
    EXPECT_EQ(L"Broken: (does not decrypt)\nFolder1: C:\\Games\nFolder2: D:\\Kids\n", Host(L"exceptions list").out);

    ProcessResult empty = Host(L"exceptions add \"\"");
    EXPECT_EQ(2u, empty.exitCode);
    EXPECT_NE(std::wstring::npos, empty.err.find(L"refused")) << empty.err;

    EXPECT_EQ(L"removed 1 value(s)\n", Host(L"exceptions remove c:\\GAMES").out);
    EXPECT_EQ(2u, Host(L"exceptions remove C:\\Games").exitCode);
    EXPECT_EQ(L"Broken: (does not decrypt)\nFolder2: D:\\Kids\n", Host(L"exceptions list").out);
    EXPECT_EQ(2u, Host(L"exceptions frobnicate").exitCode);
}

TEST(HostTool, ListPrintsTheApplicationsAsATableOrAsJson) {
    ProductPathScope product(std::wstring(L"C:\\Program Files\\Brennix\\Pellam"));
    ExceptionFoldersScope exceptions;
    ComScope com;
    TempFolder apps;
    const std::wstring menu = StartMenuFolder() + L"\\Programs\\TavrelHostTest";
    RemoveTree(menu);

    EXPECT_EQ(L"No applications found.\n", Host(L"list").out);
    PlaceExecutable(apps / L"Chess\\chess.exe");
    WriteShortcut(menu + L"\\Chess.lnk", apps / L"Chess\\chess.exe", L"Play chess");

    ProcessResult table = Host(L"list");
    EXPECT_EQ(0u, table.exitCode) << table.err;
    EXPECT_NE(std::wstring::npos, table.out.find(L"NAME")) << table.out;
    EXPECT_NE(std::wstring::npos, table.out.find(L"Chess  " + (apps / L"Chess\\chess.exe") + L"  Play chess\n"))
        << table.out;
    EXPECT_NE(std::wstring::npos, table.out.find(L"1 application(s)\n"));

    ProcessResult json = Host(L"list --json");
    EXPECT_NE(std::wstring::npos, json.out.find(L"\"PcAppCtrlFileName\": \"Chess\"")) << json.out;
    EXPECT_EQ(2u, Host(L"list --yaml").exitCode);
    RemoveTree(menu);
}

// tavrel-host run as a real process, the way people and scripts use it.
#include <gtest/gtest.h>

#include <algorithm>

#include "ChildProcess.h"
#include "ExceptionFolders.h"
#include "ExpectedText.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "TempFolder.h"
#include "TextFile.h"
#include "WindowApp.h"

using namespace TestSupport;

TEST(HostTool, VersionPrintsInterfaceAndFileVersionAndDigest) {
    const ProcessResult result = Host(L"--version");
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
        const ProcessResult result = Host(arguments, input);
        EXPECT_EQ(0u, result.exitCode) << result.err;
        EXPECT_EQ(L"{}\n", result.out);
        EXPECT_EQ(L"", result.err);
    }
}

// Nothing is done before the arguments are checked: no output, one line on
// standard error, status 2.
TEST(HostTool, BadArgumentsGetOneLineAndStatusTwo) {
    const auto refused = [](const std::wstring& arguments, const wchar_t* error) {
        const ProcessResult result = Host(arguments);
        EXPECT_EQ(2u, result.exitCode) << arguments;
        EXPECT_EQ(L"", result.out) << arguments;
        EXPECT_EQ(0u, result.err.rfind(L"tavrel-host: ", 0)) << arguments;
        EXPECT_EQ(1, std::count(result.err.begin(), result.err.end(), L'\n')) << arguments << ": " << result.err;
        EXPECT_NE(std::wstring::npos, result.err.find(error)) << arguments << ": " << result.err;
    };
    refused(L"frobnicate", L"unknown command");
    for (const wchar_t* arguments : {L"call", L"call --file", L"call a b"}) refused(arguments, L"call takes");
    refused(L"call --file C:\\no\\such\\request.json", L"cannot read");
    refused(L"call \"{\\\"TaskID\\\": tru}\"", L"malformed request JSON at byte 15: ");
    refused(L"list --yaml", L"list takes");
    refused(L"product-path a b", L"at most one folder");
    refused(L"exceptions frobnicate", L"exceptions takes");
    refused(L"exceptions add \"\"", L"refused");
    refused(L"exceptions remove C:\\NoSuchFolder", L"no exception folder");
    for (const wchar_t* arguments : {L"explain", L"explain --json"}) refused(arguments, L"explain takes");
    TempFolder folder;
    refused(L"explain " + Quote(folder.Path()), L"is neither");
    refused(L"explain " + Quote(BinaryFolder() + L"tavrel-host.exe") + L" " + Quote(folder / L"missing.exe"),
            L"missing.exe' is neither");
    for (const wchar_t* arguments : {L"stop", L"stop --pid 1", L"stop --path p --pid 1"}) refused(arguments, L"pairs");
    // Process ids are decimal digits only: no hex, no sign or space, nothing
    // past 32 bits.
    for (const wchar_t* pid : {L"x", L"-1", L"0x10", L"+1", L"\" 1\"", L"4294967296", L"99999999999999999999"}) {
        refused(L"stop --pid " + std::wstring(pid) + L" --path p", L"decimal");
    }
}

TEST(HostTool, MissingModuleOrExportIsNamed) {
    TempFolder folder;
    CopyFileTo(BinaryFolder() + L"tavrel-host.exe", folder / L"tavrel-host.exe");
    CopyFileTo(BinaryFolder() + L"Jorvex.dll", folder / L"Jorvex.dll");
    // The current folder holds every DLL of the build; none may be taken from there.
    const auto refused = [&](const std::wstring& arguments, const wchar_t* error) {
        const ProcessResult result =
            RunProcess(Quote(folder / L"tavrel-host.exe") + L" " + arguments, 30000, {}, BinaryFolder());
        EXPECT_EQ(2u, result.exitCode) << arguments;
        EXPECT_NE(std::wstring::npos, result.err.find(error)) << arguments << ": " << result.err;
    };
    refused(L"--version", L"Tavrel.dll (Windows error");
    // explain needs no plug-in, but the logging service it logs through.
    refused(L"explain " + Quote(folder / L"tavrel-host.exe"), L"cannot load Quennet.dll");
    // The plug-in without the logging service it imports.
    CopyFileTo(BinaryFolder() + L"Tavrel.dll", folder / L"Tavrel.dll");
    refused(L"list", L"cannot load");
    // A DLL of that name without the interface.
    CopyFileTo(BinaryFolder() + L"Jorvex.dll", folder / L"Tavrel.dll");
    refused(L"call {}", L"does not export Interface_FastCall_Versioning");
}

TEST(HostTool, StopClosesTheNamedApplication) {
    TempFolder folder;
    WindowApp app(L"--top 1", folder / L"Apps\\Game.exe");
    ASSERT_TRUE(app.WaitUntilReady());

    const ProcessResult result =
        Host(L"stop --pid " + std::to_wstring(app.Pid()) + L" --path " + Quote(Lower(folder / L"apps\\game.exe")));

    EXPECT_EQ(0u, result.exitCode) << result.err;
    EXPECT_EQ(L"asked 1 application(s) to close\n", result.out);
    EXPECT_EQ(std::optional<DWORD>(7), app.WaitForExit(20000));
}

TEST(HostTool, ProductPathIsShownAndSet) {
    ProductPathScope restore(std::nullopt);
    EXPECT_EQ(L"(not set)\n", Host(L"product-path").out);
    const ProcessResult set = Host(L"product-path \"C:\\Program Files\\Brennix\\Pellam\"");
    EXPECT_EQ(0u, set.exitCode) << set.err;
    EXPECT_EQ(L"C:\\Program Files\\Brennix\\Pellam\n", Host(L"product-path").out);
}

TEST(HostTool, ExceptionFoldersAreAddedListedDecryptedAndRemoved) {
    ExceptionFoldersScope restore;
    EXPECT_EQ(L"(no exception folders)\n", Host(L"exceptions list").out);
    EXPECT_EQ(L"added C:\\Games as Folder1\n", Host(L"exceptions add C:\\Games").out);
    EXPECT_EQ(L"added D:\\Kids as Folder2\n", Host(L"exceptions add D:\\Kids").out);
    restore.AddString(L"Broken", L"00");
    EXPECT_EQ(L"Broken: (does not decrypt)\nFolder1: C:\\Games\nFolder2: D:\\Kids\n", Host(L"exceptions list").out);
    EXPECT_EQ(L"removed 1 value(s)\n", Host(L"exceptions remove c:\\GAMES").out);
    EXPECT_EQ(L"Broken: (does not decrypt)\nFolder2: D:\\Kids\n", Host(L"exceptions list").out);
}

TEST(HostTool, ListPrintsTheApplicationsAsATableOrAsJson) {
    ProductPathScope product(std::wstring(L"C:\\Program Files\\Brennix\\Pellam"));
    ExceptionFoldersScope exceptions;
    TempFolder apps;
    TempFolder menu(StartMenuFolder() + L"\\Programs\\TavrelHostTest");
    EXPECT_EQ(L"No applications found.\n", Host(L"list").out);
    ComScope com;
    PlaceExecutable(apps / L"Chess\\chess.exe");
    WriteShortcut(menu / L"Chess.lnk", apps / L"Chess\\chess.exe", L"Play chess");

    const ProcessResult table = Host(L"list");
    EXPECT_EQ(0u, table.exitCode) << table.err;
    EXPECT_NE(std::wstring::npos, table.out.find(L"NAME")) << table.out;
    EXPECT_NE(std::wstring::npos, table.out.find(L"Chess  " + (apps / L"Chess\\chess.exe") + L"  Play chess\n"))
        << table.out;
    EXPECT_NE(std::wstring::npos, table.out.find(L"1 application(s)\n"));
    EXPECT_NE(std::wstring::npos, Host(L"list --json").out.find(L"\"PcAppCtrlFileName\": \"Chess\""));
}

// tavrel-host: hosts Tavrel.dll the way the suite does, for people and tests.
#include <windows.h>

#include <exception>

#include "Common/FrwkCommon/Frwk_ProductKey.h"
#include "tavrel-host/Commands.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/PluginModule.h"

namespace TavrelHost {

int RunHelp() {
    WriteOut(
        L"usage: tavrel-host COMMAND [ARGS]\n"
        L"\n"
        L"Loads Tavrel.dll from this folder as the suite's host does and sends it one request.\n"
        L"\n"
        L"  call '<json>'       send a raw request and print the response\n"
        L"  call --file PATH    ... with the request read from a file\n"
        L"  call -              ... with the request read from standard input\n"
        L"  stop --pid N --path P [--pid N --path P ...]\n"
        L"                      ask applications to close (task 0); the path is matched as the\n"
        L"                      plug-in does: it must contain the lower-cased executable path\n"
        L"  list                list the Start Menu applications (task 1) as a table\n"
        L"  list --json         ... as the plug-in's JSON response\n"
        L"  explain PATH...     say why a shortcut (or an application file) is or is not listed:\n"
        L"                      each step of task 1 in order, up to the one that leaves it out\n"
        L"  explain --json PATH...  ... as one JSON object per line and path\n"
        L"  exceptions list     show the exception folders (decrypted)\n"
        L"  exceptions add PATH      store PATH as an encrypted exception folder\n"
        L"  exceptions remove PATH   delete the exception folder PATH\n"
        L"  product-path [PATH] show, or set, the installation folder (ProductPath)\n"
        L"  --version           print the interface version, the DLL's file version and its SHA-256\n"
        L"  --help              print this text\n"
        L"\n"
        L"Settings live under HKEY_LOCAL_MACHINE\\" FRWK_PRODUCT_KEY L" (64-bit view).\n"
        L"Exit status: 0 done, 2 bad usage, missing DLL or export, malformed request,\n"
        L"             a path to explain that is not a file,\n"
        L"             unreadable or unwritable settings.\n");
    return 0;
}

namespace {

int Run(const Arguments& all) {
    if (all.empty() || all[0] == L"--help" || all[0] == L"-h" || all[0] == L"help") return RunHelp();
    const std::wstring& command = all[0];
    Arguments rest(all.begin() + 1, all.end());
    if (command == L"--version") return RunVersion();
    if (command == L"call") return RunCall(rest);
    if (command == L"stop") return RunStop(rest);
    if (command == L"list") return RunList(rest);
    if (command == L"explain") return RunExplain(rest);
    if (command == L"exceptions") return RunExceptions(rest);
    if (command == L"product-path") return RunProductPath(rest);
    throw HostError(L"unknown command '" + command + L"' (see tavrel-host --help)");
}

}  // namespace
}  // namespace TavrelHost

int wmain(int argc, wchar_t** argv) {
    using namespace TavrelHost;
    try {
        UseStandInsFolder();
        return Run(Arguments(argv + 1, argv + argc));
    } catch (const HostError& error) {
        WriteError(L"tavrel-host: " + error.Message() + L"\n");
        return 2;
    } catch (const std::exception& error) {
        WriteError(L"tavrel-host: unexpected failure: " + FromUtf8(error.what()) + L"\n");
        return 1;
    }
}

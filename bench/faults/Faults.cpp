// faults.exe: fault cases of the plug-in, each run through Tavrel.dll as the
// suite's host loads it, in a process of its own:
//   faults.exe              every case; "N passed, M failed" last; exit 1 on a failure
//   faults.exe --case N     case N alone, in this process (what the parent starts)
// Meant for a private Wine prefix (scripts/faults.sh): it empties the current
// user's Start Menu, works in C:\TavrelFaults and removes the product's
// registry key, before the cases and after each one.
#include <windows.h>

#include <cwchar>
#include <iterator>

#include "Cases.h"
#include "ChildRun.h"
#include "Common/BxCommon/BxComn_FolderTree.h"
#include "FileFixtures.h"
#include "SettingFixtures.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/HostSession.h"

namespace {

using namespace Faults;

struct FaultCase {
    const wchar_t* name;
    void (*body)(Verdict&);
};

const FaultCase kCases[] = {
    {L"no ProductPath", NoProductPath},
    {L"log folder blocked by a file, logging on", LogFolderBlocked},
    {L"exception key full of junk", ExceptionKeyJunk},
    {L"5,000 shortcuts in nested folders", LargeStartMenu},
    {L"corrupt, empty and folder-named shortcuts", BrokenShortcuts},
    {L"a Start Menu folder that cannot be listed", UnlistableFolder},
};
constexpr size_t kCaseCount = std::size(kCases);
// Far above any case's time: reached only by a hang.
constexpr DWORD kCaseLimitMs = 90 * 1000;

// What a crashed case may have left: the prefix as the cases expect it.
void ResetPrefix() {
    ClearStartMenu();
    BxCommon::FolderTree::RemoveTree(L"C:\\TavrelFaults");
    RemoveProductKey();
}

int RunHere(size_t index) {
    // Shortcuts are written through the shell, on this thread.
    TavrelHost::ComApartment apartment;
    Verdict verdict;
    try {
        kCases[index].body(verdict);
    } catch (const TavrelHost::HostError& error) {
        verdict.Expect(false, error.Message());
    }
    return verdict.ExitCode();
}

std::wstring Describe(const ChildResult& result) {
    if (!result.started) return L"could not be started";
    if (result.timedOut) return L"hung: stopped after " + std::to_wstring(kCaseLimitMs / 1000) + L" s";
    return L"ended with exception " + Hex(result.exitCode);
}

int RunAll() {
    int passed = 0, failed = 0, skipped = 0;
    ResetPrefix();
    for (size_t i = 0; i < kCaseCount; ++i) {
        const std::wstring title = std::to_wstring(i + 1) + L" " + kCases[i].name;
        PrintLine(L"== " + title);
        const ChildResult result = RunChild(L"--case " + std::to_wstring(i + 1), kCaseLimitMs);
        const bool ended = result.started && !result.timedOut;
        const std::wstring time = L" (" + SecondsText(result.seconds) + L")";
        if (ended && result.exitCode == 0) {
            ++passed;
            PrintLine(L"PASS " + title + time);
        } else if (ended && result.exitCode == static_cast<DWORD>(kSkippedExitCode)) {
            ++skipped;
            PrintLine(L"SKIP " + title + time);
        } else {
            ++failed;
            if (!ended || result.exitCode > static_cast<DWORD>(kSkippedExitCode)) PrintLine(L"   " + Describe(result));
            PrintLine(L"FAIL " + title + time);
        }
        ResetPrefix();
    }
    if (skipped > 0) PrintLine(std::to_wstring(skipped) + L" skipped");
    PrintLine(std::to_wstring(passed) + L" passed, " + std::to_wstring(failed) + L" failed");
    return failed == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        if (argc == 1) return RunAll();
        const size_t number = argc == 3 ? std::wcstoul(argv[2], nullptr, 10) : 0;
        if (std::wcscmp(argv[1], L"--case") == 0 && number >= 1 && number <= kCaseCount) return RunHere(number - 1);
        PrintLine(L"usage: faults [--case 1.." + std::to_wstring(kCaseCount) + L"]");
        return 2;
    } catch (const TavrelHost::HostError& error) {
        PrintLine(error.Message());
        return 2;
    }
}

// fuzz-calls.exe [--seed N] [--count N] [--replay FILE] [--failures FILE] [--last FILE]
// Hostile requests through the real export of Tavrel.dll (see CallTarget.h).
// Exit status: 0 all passed, 1 a case failed, 2 bad usage or setup.
#include <cstdio>
#include <stdexcept>

#include "CallTarget.h"
#include "tavrel-host/HostError.h"

int wmain(int argc, wchar_t** argv) {
    try {
        const WineFuzz::Options options = WineFuzz::ParseOptions(argc, argv, 1);
        WineFuzz::CallTarget target(options.seed);
        return WineFuzz::RunTarget(target, options);
    } catch (const std::invalid_argument&) {
        std::fwprintf(stderr,
                      L"usage: fuzz-calls [--seed N] [--count N] [--replay FILE] [--failures FILE] [--last FILE]\n");
    } catch (const std::exception& e) {
        std::fwprintf(stderr, L"fuzz-calls: %hs\n", e.what());
    } catch (const TavrelHost::HostError& e) {
        std::fwprintf(stderr, L"fuzz-calls: %ls\n", e.Message().c_str());
    }
    return 2;
}

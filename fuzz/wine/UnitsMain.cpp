// fuzz-units.exe decrypt|expand [--seed N] [--count N] [--replay FILE] [--failures FILE] [--last FILE]
// The product's stored-string decryption and %VAR% expansion, linked in
// (see DecryptTarget.h and ExpandTarget.h).
// Exit status: 0 all passed, 1 a case failed, 2 bad usage or setup.
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "DecryptTarget.h"
#include "ExpandTarget.h"

int wmain(int argc, wchar_t** argv) {
    try {
        const std::wstring which = argc > 1 ? argv[1] : L"";
        const WineFuzz::Options options = WineFuzz::ParseOptions(argc, argv, 2);
        std::unique_ptr<WineFuzz::Target> target;
        if (which == L"decrypt") {
            target = std::make_unique<WineFuzz::DecryptTarget>(options.seed);
        } else if (which == L"expand") {
            target = std::make_unique<WineFuzz::ExpandTarget>(options.seed);
        } else {
            throw std::invalid_argument("no such target");
        }
        return WineFuzz::RunTarget(*target, options);
    } catch (const std::invalid_argument&) {
        std::fwprintf(stderr,
                      L"usage: fuzz-units decrypt|expand [--seed N] [--count N] [--replay FILE] "
                      L"[--failures FILE] [--last FILE]\n");
    } catch (const std::exception& e) {
        std::fwprintf(stderr, L"fuzz-units: %hs\n", e.what());
    }
    return 2;
}

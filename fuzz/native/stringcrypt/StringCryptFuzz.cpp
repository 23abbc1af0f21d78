// Stored-string decryption of any text, with a length that may disagree with
// it: it fails exactly below one cipher block and then leaves its output as
// it was; otherwise it gives the whole blocks less at most one of padding.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Common/BxCommon/BxComn_StringCrypt.h"

// A failed check names itself and stops the run; libFuzzer keeps the input.
#define CHECK(c) ((c) ? void(0) : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #c), std::abort()))

using namespace BxCommon::Cryptograph;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    const int shift = fdp.ConsumeIntegralInRange<int>(-40, 40);
    const std::string text = fdp.ConsumeRemainingBytesAsString();
    const DWORD length = static_cast<DWORD>(std::max<long>(0, static_cast<long>(text.size() / 2) + shift));

    std::string out = "unchanged";
    const bool ok = DecryptStringA_Sub(out, text, length);
    CHECK(ok == (length >= 16));
    CHECK(ok ? out.size() <= length / 16 * 16 && out.size() + 16 >= length / 16 * 16 : out == "unchanged");
    // The whole text, as the plug-in reads it.
    std::string whole = "unchanged";
    CHECK(DecryptStringA(whole, text) == (text.size() >= 32) && (text.size() >= 32 || whole == "unchanged"));
    return 0;
}

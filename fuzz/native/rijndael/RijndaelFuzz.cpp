// The cipher with every key size and mode, any plaintext, in place or not:
// decryption gives the plaintext back, and no output space of any size is
// written past.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Common/BxCommon/BxComn_Rijndael.h"

// A failed check names itself and stops the run; libFuzzer keeps the input.
#define CHECK(c) ((c) ? void(0) : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #c), std::abort()))

using namespace BxCommon::Cryptograph;
using Bytes = std::vector<BYTE>;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    const DWORD mode = fdp.PickValueInArray({kModeEcb, kModeCbc, kModeCfb1});
    const size_t keyLength = fdp.PickValueInArray({16, 24, 32});
    const bool inPlace = fdp.ConsumeBool();
    const BYTE padLike = fdp.ConsumeIntegralInRange<BYTE>(0, 16);
    const size_t anySpace = fdp.ConsumeIntegralInRange<size_t>(0, 340);
    Bytes key = fdp.ConsumeBytes<BYTE>(keyLength);
    key.resize(keyLength);
    const Bytes iv = fdp.ConsumeBytes<BYTE>(fdp.ConsumeIntegralInRange<size_t>(0, 20));
    // CFB1 runs the block cipher once per bit: shorter texts keep runs fast.
    Bytes plain = fdp.ConsumeBytes<BYTE>(mode == kModeCfb1 ? 64 : 300);
    // An ending that looks like padding, which decryption drops (the header's note).
    plain.insert(plain.end(), padLike, padLike);
    if (plain.empty()) return 0;

    // Convert into `space` bytes followed by guard bytes; with `sameBuffer`, the
    // input is first copied into that space. What it produced, or nothing on failure.
    auto convert = [&](DWORD direction, const Bytes& input, size_t space, bool sameBuffer) {
        static const Bytes kGuard(16, 0xA5);
        Rijndael cipher;
        CHECK(cipher.Initialize(direction, key.data(), keyLength, mode, iv.data(), iv.size(), nullptr));
        Bytes out(space, 0);
        if (sameBuffer) std::copy(input.begin(), input.end(), out.begin());
        out.insert(out.end(), kGuard.begin(), kGuard.end());
        ULONGLONG produced = 0;
        const BYTE* from = sameBuffer ? out.data() : input.data();
        const bool ok = cipher.Convert(from, input.size(), out.data(), space, &produced, nullptr);
        CHECK(std::equal(kGuard.begin(), kGuard.end(), out.begin() + space) && produced <= space);
        return ok ? Bytes(out.begin(), out.begin() + produced) : Bytes();
    };
    Bytes padded = plain;
    padded.resize((plain.size() + 15) / 16 * 16, static_cast<BYTE>((16 - plain.size() % 16) % 16));
    const Bytes cipherText = convert(kEncrypt, plain, padded.size(), inPlace);
    CHECK(cipherText.size() == padded.size());
    const BYTE n = padded.back();
    const bool dropped = mode != kModeCfb1 && n <= 16 && std::count(padded.end() - n, padded.end(), n) == n;
    CHECK(convert(kDecrypt, cipherText, padded.size(), inPlace) == Bytes(padded.begin(), padded.end() - dropped * n));
    convert(kEncrypt, plain, anySpace, false);
    convert(kDecrypt, cipherText, anySpace, false);
    return 0;
}

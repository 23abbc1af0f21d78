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

namespace {

struct Setup {
    DWORD mode;
    Bytes key, iv;
};

// Convert into `space` bytes followed by guard bytes; in place, the input is
// first copied into that space. What it produced, or nothing on failure.
Bytes Convert(DWORD direction, const Setup& s, const Bytes& input, size_t space, bool inPlace) {
    static const Bytes kGuard(16, 0xA5);
    Rijndael cipher;
    CHECK(cipher.Initialize(direction, s.key.data(), s.key.size(), s.mode, s.iv.data(), s.iv.size(), nullptr));
    Bytes out(space, 0);
    if (inPlace) std::copy(input.begin(), input.end(), out.begin());
    out.insert(out.end(), kGuard.begin(), kGuard.end());
    ULONGLONG produced = 0;
    const BYTE* from = inPlace ? out.data() : input.data();
    const bool ok = cipher.Convert(from, input.size(), out.data(), space, &produced, nullptr);
    CHECK(std::equal(kGuard.begin(), kGuard.end(), out.begin() + space) && produced <= space);
    return ok ? Bytes(out.begin(), out.begin() + produced) : Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    Setup s{fdp.PickValueInArray({kModeEcb, kModeCbc, kModeCfb1}), {}, {}};
    const size_t keyLength = fdp.PickValueInArray({16, 24, 32});
    const bool inPlace = fdp.ConsumeBool();
    const BYTE padLike = fdp.ConsumeIntegralInRange<BYTE>(0, 16);
    const size_t anySpace = fdp.ConsumeIntegralInRange<size_t>(0, 340);
    s.key = fdp.ConsumeBytes<BYTE>(keyLength);
    s.key.resize(keyLength);
    s.iv = fdp.ConsumeBytes<BYTE>(fdp.ConsumeIntegralInRange<size_t>(0, 20));
    // CFB1 runs the block cipher once per bit: shorter texts keep runs fast.
    Bytes plain = fdp.ConsumeBytes<BYTE>(s.mode == kModeCfb1 ? 64 : 300);
    // An ending that looks like padding, which decryption drops (the header's note).
    plain.insert(plain.end(), padLike, padLike);
    if (plain.empty()) return 0;

    Bytes padded = plain;
    padded.resize((plain.size() + 15) / 16 * 16, static_cast<BYTE>((16 - plain.size() % 16) % 16));
    const Bytes cipherText = Convert(kEncrypt, s, plain, padded.size(), inPlace);
    CHECK(cipherText.size() == padded.size());
    const BYTE n = padded.back();
    const bool dropped = s.mode != kModeCfb1 && n <= 16 && std::count(padded.end() - n, padded.end(), n) == n;
    CHECK(Convert(kDecrypt, s, cipherText, padded.size(), inPlace) ==
          Bytes(padded.begin(), padded.end() - dropped * n));
    Convert(kEncrypt, s, plain, anySpace, false);
    Convert(kDecrypt, s, cipherText, anySpace, false);
    return 0;
}

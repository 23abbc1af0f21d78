#include "rijndael/RoundTrip.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Common/BxCommon/BxComn_Rijndael.h"
#include "support/Check.h"
#include "support/GuardedBuffer.h"

namespace Fuzz {

using namespace BxCommon::Cryptograph;

namespace {

struct Setup {
    DWORD mode;
    std::vector<BYTE> key;
    std::vector<BYTE> iv;
};

void Start(Rijndael& cipher, DWORD direction, const Setup& setup) {
    DWORD error = 0;
    FUZZ_CHECK(cipher.Initialize(direction, setup.key.data(), setup.key.size(), setup.mode, setup.iv.data(),
                                 setup.iv.size(), &error));
}

// Convert into a space of exactly `space` bytes; in place, the input is
// first copied into that space.
std::vector<BYTE> ConvertOnce(DWORD direction, const Setup& setup, const std::vector<BYTE>& input, size_t space,
                              bool inPlace) {
    Rijndael cipher;
    Start(cipher, direction, setup);
    GuardedBuffer<BYTE> output(space);
    if (inPlace) std::copy(input.begin(), input.end(), output.Data());
    const BYTE* source = inPlace ? output.Data() : input.data();
    ULONGLONG produced = 0;
    DWORD error = 0;
    FUZZ_CHECK(cipher.Convert(source, input.size(), output.Data(), space, &produced, &error));
    FUZZ_CHECK(output.Intact());
    FUZZ_CHECK(produced <= space);
    return std::vector<BYTE>(output.Data(), output.Data() + produced);
}

// Update piece by piece, each with the rest of the space, then Final if
// `final`. The pieces' lengths come from `in`, in multiples of `step`.
std::vector<BYTE> Stream(DWORD direction, const Setup& setup, const std::vector<BYTE>& input, size_t space, size_t step,
                         bool final, ByteReader& in) {
    Rijndael cipher;
    Start(cipher, direction, setup);
    GuardedBuffer<BYTE> output(space);
    size_t used = 0;
    ULONGLONG written = 0;
    DWORD error = 0;
    while (used < input.size()) {
        const size_t piece = std::min(input.size() - used, step * (1 + in.Byte() % (48 / step + 1)));
        ULONGLONG produced = 0;
        FUZZ_CHECK(
            cipher.Update(input.data() + used, piece, output.Data() + written, space - written, &produced, &error));
        FUZZ_CHECK(output.Intact());
        used += piece;
        written += produced;
    }
    if (final) {
        ULONGLONG produced = 0;
        FUZZ_CHECK(cipher.Final(output.Data() + written, space - written, &produced, &error));
        FUZZ_CHECK(output.Intact());
        written += produced;
    }
    FUZZ_CHECK(written <= space);
    return std::vector<BYTE>(output.Data(), output.Data() + written);
}

// What decryption gives back: the padded plaintext, without a last block's
// padding in ECB and CBC, which includes a plaintext's own ending that
// looks like padding (the header's note).
std::vector<BYTE> Expected(const std::vector<BYTE>& padded, DWORD mode) {
    std::vector<BYTE> out = padded;
    if (mode == kModeCfb1) return out;
    const BYTE n = out.back();
    if (n < 1 || n > 16) return out;
    if (std::all_of(out.end() - n, out.end(), [n](BYTE b) { return b == n; })) out.resize(out.size() - n);
    return out;
}

}  // namespace

void RoundTrip(ByteReader& in) {
    const BYTE choice = in.Byte();
    Setup setup;
    setup.key = in.Bytes(16 + 8 * (choice % 3));
    setup.mode = (choice / 3) % 3;
    setup.iv = in.Bytes(16);
    const bool inPlace = (choice & 0x80) != 0;
    // CFB1 runs the block cipher once per bit: shorter texts keep runs fast.
    const std::vector<BYTE> plain = in.Bytes(1 + in.Word() % (setup.mode == kModeCfb1 ? 64 : 300));

    // A partial last block is padded with n bytes of value n; whole blocks
    // get no padding block.
    std::vector<BYTE> padded = plain;
    const BYTE pad = static_cast<BYTE>((16 - plain.size() % 16) % 16);
    padded.insert(padded.end(), pad, pad);

    const std::vector<BYTE> cipherText = ConvertOnce(kEncrypt, setup, plain, padded.size(), inPlace);
    FUZZ_CHECK(cipherText.size() == padded.size());
    FUZZ_CHECK(Stream(kEncrypt, setup, plain, padded.size(), 1, pad != 0, in) == cipherText);

    const std::vector<BYTE> expected = Expected(padded, setup.mode);
    FUZZ_CHECK(ConvertOnce(kDecrypt, setup, cipherText, padded.size(), inPlace) == expected);
    // Decryption keeps a full block followed by a partial one for Final and
    // does not read the rest, so its pieces are whole blocks; Final gets
    // exactly the last block's 16 bytes, as in Convert.
    FUZZ_CHECK(Stream(kDecrypt, setup, cipherText, padded.size(), 16, true, in) == expected);
}

}  // namespace Fuzz

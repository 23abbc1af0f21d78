// The AES cipher: published known answers, the stages and what a refused
// call leaves, padding, streaming and the output bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Rijndael.h"

using namespace BxCommon::Cryptograph;

namespace {

using Bytes = std::vector<BYTE>;
const Bytes kKey(16, 0x3c), kOtherKey(32, 0x77), kIv(16, 0xa5);
constexpr BYTE kGuard = 0xcd;
constexpr DWORD kRefused = ERROR_INVALID_FUNCTION;

Bytes Hex(const std::string& text) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 2) bytes.push_back(std::stoul(text.substr(i, 2), nullptr, 16) & 0xff);
    return bytes;
}
Bytes Sample(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 37 + 11);
    return bytes;
}
Bytes Slice(const Bytes& bytes, size_t from, size_t to) { return Bytes(bytes.begin() + from, bytes.begin() + to); }

// One Convert by a new object into `space` bytes; the guard bytes after them must stay.
struct Result {
    bool ok;
    DWORD error;
    ULONGLONG produced;
    Bytes output;
};
Result Convert(DWORD direction, const Bytes& input, size_t space, DWORD mode = kModeCbc, const Bytes& key = kKey,
               const Bytes& iv = kIv) {
    Rijndael cipher;
    EXPECT_TRUE(cipher.Initialize(direction, key.data(), key.size(), mode, iv.data(), iv.size(), nullptr));
    Bytes buffer(space + 64, kGuard);
    Result result{false, 0xdead, 0xbeef, {}};
    result.ok = cipher.Convert(input.data(), input.size(), buffer.data(), space, &result.produced, &result.error);
    EXPECT_EQ(Bytes(64, kGuard), Slice(buffer, space, space + 64));
    result.output = Slice(buffer, 0, space);
    return result;
}

// A successful Convert's output: room for padding encrypting, none decrypting.
Bytes Crypt(DWORD direction, const Bytes& input, DWORD mode = kModeCbc, const Bytes& key = kKey,
            const Bytes& iv = kIv) {
    const Result result = Convert(direction, input, input.size() + (direction == kEncrypt ? 16 : 0), mode, key, iv);
    EXPECT_EQ(0u, result.error);
    return result.ok ? Slice(result.output, 0, std::min<size_t>(result.produced, result.output.size())) : Bytes();
}

// The error code a call reports (0 on success), checked against its result.
DWORD Checked(bool ok, const DWORD& error) {
    EXPECT_EQ(ok, error == 0) << error;
    return error;
}
DWORD Init(Rijndael& cipher, DWORD direction, const Bytes& key, DWORD mode = kModeCbc) {
    DWORD error = 0xdead;
    return Checked(cipher.Initialize(direction, key.data(), key.size(), mode, kIv.data(), 16, &error), error);
}
DWORD Update(Rijndael& cipher, const Bytes& input, BYTE* output, ULONGLONG space, ULONGLONG* produced = nullptr) {
    DWORD error = 0xdead;
    return Checked(cipher.Update(input.data(), input.size(), output, space, produced, &error), error);
}
DWORD Final(Rijndael& cipher, BYTE* output, ULONGLONG space, ULONGLONG* produced = nullptr) {
    DWORD error = 0xdead;
    return Checked(cipher.Final(output, space, produced, &error), error);
}

// NIST SP 800-38A Appendix F: the plaintext of its examples, AES-128 key, IV.
const Bytes kSp800Plaintext =
    Hex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
        "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
const Bytes kSp800Key = Hex("2b7e151628aed2a6abf7158809cf4f3c"), kSp800Iv = Hex("000102030405060708090a0b0c0d0e0f");

}  // namespace

// FIPS-197 Appendix C.1 to C.3; with CBC and no IV the one block is the same.
TEST(RijndaelKnownAnswer, Fips197AppendixC) {
    const Bytes plaintext = Hex("00112233445566778899aabbccddeeff");
    const struct {
        const char* key;
        const char* ciphertext;
    } vectors[] = {
        {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto& v : vectors) {
        for (DWORD mode : {kModeEcb, kModeCbc}) {
            EXPECT_EQ(Hex(v.ciphertext), Crypt(kEncrypt, plaintext, mode, Hex(v.key), {})) << v.key;
            EXPECT_EQ(plaintext, Crypt(kDecrypt, Hex(v.ciphertext), mode, Hex(v.key), {})) << v.key;
        }
    }
}

// SP 800-38A F.2.1 and F.2.2, CBC-AES128, four blocks, also in place.
TEST(RijndaelKnownAnswer, Sp800_38aCbcAndCfb1Aes128) {
    const Bytes ciphertext =
        Hex("7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
            "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7");
    EXPECT_EQ(ciphertext, Crypt(kEncrypt, kSp800Plaintext, kModeCbc, kSp800Key, kSp800Iv));
    EXPECT_EQ(kSp800Plaintext, Crypt(kDecrypt, ciphertext, kModeCbc, kSp800Key, kSp800Iv));
    Bytes buffer = kSp800Plaintext;
    for (DWORD direction : {kEncrypt, kDecrypt}) {
        Rijndael cipher;
        ASSERT_TRUE(cipher.Initialize(direction, kSp800Key.data(), 16, kModeCbc, kSp800Iv.data(), 16, nullptr));
        ASSERT_TRUE(cipher.Convert(buffer.data(), 64, buffer.data(), 64, nullptr, nullptr));
        EXPECT_EQ(direction == kEncrypt ? ciphertext : kSp800Plaintext, buffer);
    }
    // F.3.1 and F.3.2, CFB1-AES128: bits 6b c1 give 68 b3, the start of the
    // block; the rest is from OpenSSL 3.0 (openssl enc -aes-128-cfb1). A
    // second block runs on the carried register; CFB1 strips no padding.
    const Bytes first = Hex("68b3a264f838f5f8c3101070d1ab4c2e");
    EXPECT_EQ(first, Crypt(kEncrypt, Slice(kSp800Plaintext, 0, 16), kModeCfb1, kSp800Key, kSp800Iv));
    EXPECT_EQ(Slice(kSp800Plaintext, 0, 16), Crypt(kDecrypt, first, kModeCfb1, kSp800Key, kSp800Iv));
    Bytes plaintext = Slice(kSp800Plaintext, 0, 32);
    plaintext.back() = 0x01;
    const Bytes cfb1 = Crypt(kEncrypt, plaintext, kModeCfb1, kSp800Key, kSp800Iv);
    EXPECT_EQ(first, Slice(cfb1, 0, 16));
    EXPECT_EQ(plaintext, Crypt(kDecrypt, cfb1, kModeCfb1, kSp800Key, kSp800Iv));
}

// Idle (new, or used and reset) allows only Initialize, which then leaves no
// trace of an earlier key or chain. Initialised refuses Final, processing
// Initialize, finished all but Reset; refusals leave the stream as it was.
TEST(RijndaelStages, EachStageRefusesWhatItDoesNotAllow) {
    Rijndael fresh, reset, cipher;
    const Bytes input = Sample(32);
    Bytes output(64);
    DWORD error = 0xdead;
    ULONGLONG produced = 0xbeef;
    ASSERT_EQ(0u, Init(reset, kEncrypt, kOtherKey));
    ASSERT_EQ(0u, Update(reset, Sample(20), output.data(), 64));
    EXPECT_EQ(0u, Checked(reset.Reset(&error), error));
    for (Rijndael* idle : {&fresh, &reset}) {
        EXPECT_EQ(0u, idle->GetKeyLength());
        EXPECT_EQ(kRefused, Update(*idle, input, output.data(), 64, &produced));
        EXPECT_EQ(0u, produced);
        EXPECT_EQ(kRefused, Final(*idle, output.data(), 16));
        EXPECT_EQ(kRefused, Checked(idle->Reset(&error), error));
        EXPECT_FALSE(idle->Update(input.data(), 32, output.data(), 64, nullptr, nullptr));  // without an error place
        ASSERT_EQ(0u, Init(*idle, kEncrypt, kKey));
        ASSERT_EQ(0u, Checked(idle->Convert(input.data(), 32, output.data(), 64, nullptr, &error), error));
        EXPECT_EQ(Crypt(kEncrypt, input), Slice(output, 0, 32));
    }
    output.assign(64, 0);
    ASSERT_EQ(0u, Init(cipher, kEncrypt, kKey));
    EXPECT_EQ(kRefused, Final(cipher, output.data(), 16));
    ASSERT_EQ(0u, Update(cipher, Slice(input, 0, 20), output.data(), 64));
    EXPECT_EQ(kRefused, Init(cipher, kDecrypt, kOtherKey, kModeEcb));
    EXPECT_EQ(16u, cipher.GetKeyLength());
    ASSERT_EQ(0u, Update(cipher, Slice(input, 20, 32), output.data() + 16, 48));
    EXPECT_EQ(Crypt(kEncrypt, input), Slice(output, 0, 32));
    EXPECT_EQ(kRefused, Final(cipher, output.data(), 16));  // no partial block to pad
    EXPECT_EQ(kRefused, Final(cipher, output.data(), 16));  // finished
    EXPECT_EQ(kRefused, Update(cipher, input, output.data(), 64));
    EXPECT_EQ(kRefused, Init(cipher, kEncrypt, kKey));
}

// The key is checked (13), then the mode (87); a refused Initialize leaves
// the object as it was: an ECB encryptor refused a decryption set-up still
// encrypts with its own key. The direction fails only at a block step (50).
TEST(RijndaelStages, InitializeChecksKeyThenModeAndChangesNothingWhenRefused) {
    Rijndael cipher, unknown;
    DWORD error = 0;
    BYTE output[16];
    EXPECT_EQ(13u, Checked(cipher.Initialize(kEncrypt, nullptr, 16, kModeEcb, nullptr, 0, &error), error));
    for (size_t length : {0u, 15u, 17u, 20u, 31u, 33u}) {
        EXPECT_EQ(DWORD{ERROR_INVALID_DATA}, Init(cipher, kEncrypt, Bytes(length, 1), kNoMode)) << length;
        EXPECT_EQ(0u, cipher.GetKeyLength());
    }
    EXPECT_EQ(DWORD{ERROR_INVALID_PARAMETER}, Init(cipher, kEncrypt, kOtherKey, kNoMode));
    EXPECT_EQ(0u, cipher.GetKeyLength());
    EXPECT_EQ(kRefused, Update(cipher, Sample(16), output, 16));  // still idle
    for (DWORD mode : {kNoMode, kModeCbc}) {
        Rijndael ecb;
        ASSERT_EQ(0u, Init(ecb, kEncrypt, kKey, kModeEcb));
        EXPECT_EQ(13u, Checked(ecb.Initialize(kDecrypt, nullptr, 16, mode, nullptr, 0, &error), error));
        EXPECT_EQ(DWORD{ERROR_INVALID_PARAMETER}, Init(ecb, kDecrypt, kOtherKey, kNoMode));
        EXPECT_EQ(16u, ecb.GetKeyLength());
        ASSERT_EQ(0u, Checked(ecb.Convert(Sample(16).data(), 16, output, 16, nullptr, &error), error));
        EXPECT_EQ(Crypt(kEncrypt, Sample(16), kModeEcb), Bytes(output, output + 16));
    }

    ASSERT_EQ(0u, Init(unknown, 7, kKey));
    EXPECT_EQ(0u, Update(unknown, Sample(10), output, 16));
    EXPECT_EQ(DWORD{ERROR_NOT_SUPPORTED}, Update(unknown, Sample(10), output, 16));
    EXPECT_EQ(DWORD{ERROR_NOT_SUPPORTED}, Final(unknown, output, 16));
    // The IV fills the register from its start, the rest being zero.
    const Bytes iv = Sample(32);
    const struct {
        size_t length;
        Bytes reference;
    } cases[] = {{32, Sample(16)}, {8, Sample(8)}, {0, {}}};
    for (auto c : cases) {
        c.reference.resize(16, 0);
        const Bytes expected = Crypt(kEncrypt, iv, kModeCbc, kKey, c.reference);
        EXPECT_EQ(expected, Crypt(kEncrypt, iv, kModeCbc, kKey, Slice(iv, 0, c.length))) << c.length;
    }
}

// FIPS-197 Appendix A: each key and its last round key. A decrypting
// schedule keeps both as they are (the equivalent inverse cipher changes
// only the rounds between), and either one gives the whole key back.
TEST(RijndaelKeyHygiene, NeitherKeyNorRoundKeyOutlivesResetOrDestruction) {
    const struct {
        const char* key;
        const char* lastRoundKey;
    } schedules[] = {
        {"2b7e151628aed2a6abf7158809cf4f3c", "d014f9a8c9ee2589e13f0cc8b6630ca6"},
        {"8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b", "e98ba06f448c773c8ecc720401002202"},
        {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4", "fe4890d1e6188d0b046df344706c631e"},
    };
    auto holds = [](const BYTE* storage, size_t size, const Bytes& needle) {
        return std::search(storage, storage + size, needle.begin(), needle.end()) != storage + size;
    };
    for (const auto& s : schedules) {
        const Bytes key = Hex(s.key), lastRoundKey = Hex(s.lastRoundKey);
        for (bool reset : {false, true}) {
            alignas(Rijndael) BYTE storage[sizeof(Rijndael)] = {};
            Rijndael* cipher = new (storage) Rijndael;
            ASSERT_EQ(0u, Init(*cipher, kDecrypt, key));
            ASSERT_TRUE(holds(storage, sizeof storage, Slice(key, 0, 16))) << s.key;
            ASSERT_TRUE(holds(storage, sizeof storage, lastRoundKey)) << s.key;
            if (reset) {
                ASSERT_TRUE(cipher->Reset(nullptr));
            } else {
                cipher->~Rijndael();
            }
            EXPECT_FALSE(holds(storage, sizeof storage, Slice(key, 0, 16))) << s.key << " reset " << reset;
            EXPECT_FALSE(holds(storage, sizeof storage, lastRoundKey)) << s.key << " reset " << reset;
            if (reset) cipher->~Rijndael();
        }
    }
}

// 20 bytes become 32 (4 and 12 of value 12) and come back as 20, the 12
// zeroed; whole blocks get none (see the known answers). Decrypting reads
// whole blocks only: fewer than 16 bytes fail, a tail is ignored.
TEST(RijndaelPadding, PartialBlockIsPaddedAndDecryptionReadsWholeBlocks) {
    const Bytes plaintext = Sample(20), ciphertext = Crypt(kEncrypt, plaintext);
    Bytes lastBlock = Slice(plaintext, 16, 20), expected = plaintext;
    lastBlock.resize(16, 12);
    expected.resize(32, 0);
    ASSERT_EQ(32u, ciphertext.size());
    EXPECT_EQ(Crypt(kEncrypt, lastBlock, kModeCbc, kKey, Slice(ciphertext, 0, 16)), Slice(ciphertext, 16, 32));
    const Result result = Convert(kDecrypt, ciphertext, 32);
    EXPECT_EQ(20u, result.produced);
    EXPECT_EQ(expected, result.output);
    const Result shortInput = Convert(kDecrypt, Slice(ciphertext, 0, 15), 32);
    EXPECT_EQ(kRefused, shortInput.error);
    EXPECT_EQ(0xbeefu, shortInput.produced);  // written only on success
    EXPECT_EQ(Slice(plaintext, 0, 16), Convert(kDecrypt, Slice(ciphertext, 0, 20), 16).output);
}

// A last block ending in n bytes of value n loses them, whether they were
// padding or not; any other last block stays whole.
TEST(RijndaelPadding, DecryptionDropsWhatLooksLikePaddingWithinItsSpace) {
    for (BYTE n = 1; n <= 16; ++n) {
        Bytes plaintext = Sample(32);
        std::fill(plaintext.end() - n, plaintext.end(), n);
        EXPECT_EQ(Slice(plaintext, 0, 32 - n), Crypt(kDecrypt, Crypt(kEncrypt, plaintext))) << +n;
    }
    const Bytes notPadding[] = {{0x05, 0x00}, {0x11, 0x11}, {0xff}, {0x04, 0x03, 0x04, 0x04}, {0x0f, 0x10, 0x10}};
    for (const Bytes& tail : notPadding) {
        Bytes plaintext = Sample(32);
        std::copy(tail.begin(), tail.end(), plaintext.end() - tail.size());
        EXPECT_EQ(plaintext, Crypt(kDecrypt, Crypt(kEncrypt, plaintext))) << +tail.back();
    }
    // Only a space of exactly 16 for the last block drops exactly that;
    // otherwise k = space % 16 says how much of the block's end goes.
    Bytes plaintext = Sample(16);
    std::fill(plaintext.begin() + 12, plaintext.end(), 4);
    Bytes zeroed = plaintext;
    zeroed[12] = zeroed[13] = 0;
    const struct {
        ULONGLONG space, produced;
        Bytes written;
    } cases[] = {{16, 12, Slice(plaintext, 0, 12)},
                 {8, 8, Slice(plaintext, 0, 8)},
                 {30, 14, zeroed},
                 {20, 16, plaintext}};  // k = 14 zeroes bytes 12 and 13; k = 4 does not reach the padding
    for (const auto& c : cases) {
        Rijndael cipher;
        Bytes output(64, kGuard);
        ULONGLONG produced = 0xbeef;
        ASSERT_EQ(0u, Init(cipher, kDecrypt, kKey));
        ASSERT_EQ(0u, Update(cipher, Crypt(kEncrypt, plaintext), output.data(), 64, &produced));
        ASSERT_EQ(0u, produced);  // the block waits for Final
        ASSERT_EQ(0u, Final(cipher, output.data(), c.space, &produced));
        EXPECT_EQ(c.produced, produced) << c.space;
        EXPECT_EQ(c.written, Slice(output, 0, c.written.size())) << c.space;
        EXPECT_EQ(kGuard, output[c.space]) << c.space;
    }
}

// Pieces give what one call gives. Decrypting, a full block followed by
// fewer than 16 bytes of the same call is held (it may be the last) and
// those bytes are not read.
TEST(RijndaelStreaming, PiecesGiveWhatOneCallGives) {
    const Bytes plaintext = Sample(100), ciphertext = Crypt(kEncrypt, plaintext);
    const std::vector<size_t> pieces[] = {{1, 5, 17, 3, 32, 10, 32}, {1, 15, 16, 32, 48}};
    ULONGLONG produced = 0;
    for (DWORD direction : {kEncrypt, kDecrypt}) {
        const Bytes& input = direction == kEncrypt ? plaintext : ciphertext;
        Rijndael cipher;
        Bytes output(128);
        ULONGLONG total = 0, used = 0;
        ASSERT_EQ(0u, Init(cipher, direction, kKey));
        for (size_t piece : pieces[direction]) {
            ASSERT_EQ(0u, Update(cipher, Slice(input, used, used + piece), &output[total], 128 - total, &produced));
            used += piece;
            total += produced;
        }
        EXPECT_EQ(96u, total) << direction;  // encrypting, 4 bytes wait; decrypting, a block
        ASSERT_EQ(0u, Final(cipher, &output[total], 16, &produced));
        EXPECT_EQ(direction == kEncrypt ? ciphertext : plaintext, Slice(output, 0, total + produced));
    }
    Rijndael cipher;
    Bytes output(64);
    ASSERT_EQ(0u, Init(cipher, kDecrypt, kKey));
    ASSERT_EQ(0u, Update(cipher, Slice(ciphertext, 0, 20), output.data(), 64, &produced));   // 4 unread
    ASSERT_EQ(0u, Update(cipher, Slice(ciphertext, 16, 31), output.data(), 64, &produced));  // unread
    EXPECT_EQ(0u, produced);
    ASSERT_EQ(0u, Update(cipher, Slice(ciphertext, 16, 48), output.data(), 64, &produced));
    EXPECT_EQ(32u, produced);
    EXPECT_EQ(Slice(plaintext, 0, 32), Slice(output, 0, 32));
}

// Missing buffers fail with 13 (still starting processing); empty input is no work.
TEST(RijndaelBounds, MissingBuffersEmptyInputAndShortSpace) {
    const Bytes input = Sample(16);
    BYTE output[16];
    const struct {
        const BYTE* input;
        BYTE* output;
        ULONGLONG space;
    } cases[] = {{nullptr, output, 16}, {input.data(), nullptr, 16}, {input.data(), output, 0}};
    for (const auto& c : cases) {
        Rijndael cipher;
        ULONGLONG produced = 0xbeef;
        DWORD error = 0;
        ASSERT_EQ(0u, Init(cipher, kDecrypt, kKey));
        EXPECT_EQ(13u, Checked(cipher.Convert(c.input, 16, c.output, c.space, &produced, &error), error));
        EXPECT_EQ(0xbeefu, produced);
        EXPECT_EQ(kRefused, Init(cipher, kDecrypt, kKey));
    }
    Rijndael finalWithoutOutput;
    ASSERT_EQ(0u, Init(finalWithoutOutput, kEncrypt, kKey));
    ASSERT_EQ(0u, Update(finalWithoutOutput, Sample(5), output, 16));
    EXPECT_EQ(DWORD{ERROR_INVALID_DATA}, Final(finalWithoutOutput, nullptr, 16));
    for (DWORD direction : {kEncrypt, kDecrypt}) {
        Rijndael cipher;
        ULONGLONG produced = 0xbeef;
        std::fill(std::begin(output), std::end(output), kGuard);
        ASSERT_EQ(0u, Init(cipher, direction, kKey));
        EXPECT_TRUE(cipher.Convert(input.data(), 0, output, 16, &produced, nullptr));
        EXPECT_EQ(0u, produced);
        EXPECT_EQ(Bytes(16, kGuard), Bytes(output, output + 16));
    }
    // Encryption stops with 8 at the first block without 16 bytes of space,
    // padded or not; decryption writes what fits and succeeds.
    const Bytes plaintext = Sample(1 << 20), ciphertext = Crypt(kEncrypt, plaintext);
    for (size_t space : {1u, 15u, 16u, 40u, 1000u}) {
        Rijndael cipher;
        Bytes output(space + 16, kGuard);
        ULONGLONG produced = 0;
        ASSERT_EQ(0u, Init(cipher, kEncrypt, kKey));
        EXPECT_EQ(DWORD{ERROR_NOT_ENOUGH_MEMORY}, Update(cipher, plaintext, output.data(), space, &produced));
        EXPECT_EQ(space / 16 * 16, produced);
        EXPECT_EQ(Bytes(16, kGuard), Slice(output, space, space + 16));
        const Result decrypted = Convert(kDecrypt, ciphertext, space);
        EXPECT_EQ(space, decrypted.produced);
        EXPECT_EQ(Slice(plaintext, 0, space), decrypted.output);
    }
    EXPECT_EQ(DWORD{ERROR_NOT_ENOUGH_MEMORY}, Convert(kEncrypt, Sample(20), 16).error);
}

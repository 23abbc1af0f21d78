// The AES cipher: published known answers, the stages and streaming, the
// key's wiping, padding and the output bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Rijndael.h"

using namespace BxCommon::Cryptograph;

namespace {

using Bytes = std::vector<BYTE>;
const Bytes kKey(16, 0x3c), kIv(16, 0xa5);
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

// One Convert by a new object into `space` bytes (by default room for the
// padding encrypting, none decrypting): its error, and the bytes it says it
// produced. The guard bytes after the space must stay, and the error must
// agree with the result.
std::pair<DWORD, Bytes> Converted(DWORD direction, const Bytes& input, DWORD mode = kModeCbc, const Bytes& key = kKey,
                                  const Bytes& iv = kIv, size_t space = SIZE_MAX) {
    if (space == SIZE_MAX) space = input.size() + (direction == kEncrypt ? 16 : 0);
    Rijndael cipher;
    EXPECT_TRUE(cipher.Initialize(direction, key.data(), key.size(), mode, iv.data(), iv.size(), nullptr));
    Bytes buffer(space + 16, kGuard);
    ULONGLONG produced = 0;
    DWORD error = 0xdead;
    const bool ok = cipher.Convert(input.data(), input.size(), buffer.data(), space, &produced, &error);
    EXPECT_EQ(ok, error == 0);
    EXPECT_EQ(Bytes(16, kGuard), Slice(buffer, space, space + 16));
    return {error, Slice(buffer, 0, std::min<size_t>(produced, space))};
}
Bytes Crypt(DWORD direction, const Bytes& input, DWORD mode = kModeCbc, const Bytes& key = kKey,
            const Bytes& iv = kIv) {
    return Converted(direction, input, mode, key, iv).second;
}

// FIPS-197 Appendix C.1 to C.3. ECB is the library's contract with the
// feature's other modules; with CBC and no IV the one block is the same.
TEST(RijndaelKnownAnswer, Fips197AppendixCInEcbAndCbc) {
    const Bytes plaintext = Hex("00112233445566778899aabbccddeeff");
    const std::pair<const char*, const char*> vectors[] = {
        {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto& [key, ciphertext] : vectors) {
        for (DWORD mode : {kModeEcb, kModeCbc}) {
            EXPECT_EQ(Hex(ciphertext), Crypt(kEncrypt, plaintext, mode, Hex(key), {})) << key << " mode " << mode;
            EXPECT_EQ(plaintext, Crypt(kDecrypt, Hex(ciphertext), mode, Hex(key), {})) << key << " mode " << mode;
        }
    }
}

// NIST SP 800-38A F.2.1 and F.2.2, CBC-AES128, four blocks, also in place;
// F.3.1 and F.3.2, CFB1-AES128 (the library's contract with the feature's
// other modules): bits 6b c1 give 68 b3, the start of the block; the rest is
// from OpenSSL 3.0 (openssl enc -aes-128-cfb1). A second block runs on the
// carried register; CFB1 strips no padding.
TEST(RijndaelKnownAnswer, Sp800_38aCbcAndCfb1Aes128) {
    const Bytes plaintext =
        Hex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
            "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
    const Bytes key = Hex("2b7e151628aed2a6abf7158809cf4f3c"), iv = Hex("000102030405060708090a0b0c0d0e0f");
    const Bytes ciphertext =
        Hex("7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
            "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7");
    Bytes buffer = plaintext;
    for (DWORD direction : {kEncrypt, kDecrypt}) {
        Rijndael cipher;
        ASSERT_TRUE(cipher.Initialize(direction, key.data(), 16, kModeCbc, iv.data(), 16, nullptr));
        ASSERT_TRUE(cipher.Convert(buffer.data(), 64, buffer.data(), 64, nullptr, nullptr));
        EXPECT_EQ(direction == kEncrypt ? ciphertext : plaintext, buffer);
    }
    const Bytes first = Hex("68b3a264f838f5f8c3101070d1ab4c2e");
    EXPECT_EQ(first, Crypt(kEncrypt, Slice(plaintext, 0, 16), kModeCfb1, key, iv));
    Bytes twoBlocks = Slice(plaintext, 0, 32);
    twoBlocks.back() = 0x01;
    const Bytes cfb1 = Crypt(kEncrypt, twoBlocks, kModeCfb1, key, iv);
    EXPECT_EQ(first, Slice(cfb1, 0, 16));
    EXPECT_EQ(twoBlocks, Crypt(kDecrypt, cfb1, kModeCfb1, key, iv));
}

// The stages (the library's contract with the feature's other modules): idle
// allows only Initialize; initialised all but Final; processing all but
// Initialize; finished only Reset, back to idle. A refusal (1) changes
// nothing: a refused Initialize (key 13, then mode 87) leaves the stream as
// it was. Pieces give what one call gives; decrypting, the last full block
// waits for Final, which removes the padding.
TEST(RijndaelStages, EachStageRefusesWhatItDoesNotAllowAndPiecesGiveWhatOneCallGives) {
    const Bytes plaintext = Sample(100), longKey(33, 1);
    Bytes output(128);
    ULONGLONG total = 0, produced = 0;
    DWORD error = 0;
    Rijndael cipher;
    const auto init = [&](DWORD direction, const BYTE* key, size_t length, DWORD mode) {
        return cipher.Initialize(direction, key, length, mode, kIv.data(), 16, &error) ? 0 : error;
    };
    const auto step = [&](bool ok) {
        total += produced;
        return ok ? 0 : error;
    };
    for (DWORD direction : {kEncrypt, kDecrypt}) {  // the second time used and reset
        const Bytes input = direction == kEncrypt ? plaintext : Crypt(kEncrypt, plaintext);
        const auto update = [&](size_t from, size_t to) {
            return step(cipher.Update(&input[from], to - from, &output[total], 128 - total, &produced, &error));
        };
        const auto final = [&] { return step(cipher.Final(&output[total], 16, &produced, &error)); };
        total = 0;
        EXPECT_EQ(kRefused, update(0, 16));
        EXPECT_EQ(kRefused, final());
        EXPECT_FALSE(cipher.Reset(&error));
        EXPECT_EQ(13u, init(direction, nullptr, 16, kModeCbc));
        for (size_t length : {0u, 15u, 17u, 31u, 33u}) EXPECT_EQ(13u, init(direction, longKey.data(), length, 1));
        EXPECT_EQ(87u, init(direction, kKey.data(), 16, kNoMode));
        EXPECT_EQ(0u, cipher.GetKeyLength());
        ASSERT_EQ(0u, init(1 - direction, longKey.data(), 32, kModeEcb));
        ASSERT_EQ(0u, init(direction, kKey.data(), 16, kModeCbc));  // again, over the first
        EXPECT_EQ(13u, init(1 - direction, nullptr, 16, kModeEcb));
        EXPECT_EQ(87u, init(1 - direction, longKey.data(), 32, kNoMode));
        EXPECT_EQ(kRefused, final());
        size_t from = 0;
        for (size_t piece : direction == kEncrypt ? std::vector<size_t>{1, 5, 17, 3, 32, 10, 32}
                                                  : std::vector<size_t>{1, 15, 16, 32, 48}) {
            ASSERT_EQ(0u, update(from, from + piece));
            from += piece;
            if (from == 1) {
                EXPECT_EQ(kRefused, init(1 - direction, kKey.data(), 16, kModeEcb));
            }
        }
        EXPECT_EQ(96u, total);  // encrypting, 4 bytes wait; decrypting, a block
        ASSERT_EQ(0u, final());
        EXPECT_EQ(direction == kEncrypt ? Crypt(kEncrypt, plaintext) : plaintext, Slice(output, 0, total));
        EXPECT_EQ(kRefused, final());
        EXPECT_EQ(kRefused, update(0, 16));
        EXPECT_EQ(kRefused, init(direction, kKey.data(), 16, kModeCbc));
        EXPECT_TRUE(cipher.Reset(&error));
    }
    ASSERT_EQ(0u, init(7, kKey.data(), 16, kModeCbc));  // a direction is checked only at a block step
    EXPECT_FALSE(cipher.Update(plaintext.data(), 20, output.data(), 128, nullptr, &error));
    EXPECT_EQ(DWORD{ERROR_NOT_SUPPORTED}, error);
    // The IV fills the register from its start: at most 16 bytes are taken.
    EXPECT_EQ(Crypt(kEncrypt, plaintext, kModeCbc, kKey, Sample(16)),
              Crypt(kEncrypt, plaintext, kModeCbc, kKey, Sample(32)));
}

// FIPS-197 Appendix A.1: the key and its last round key. A decrypting
// schedule keeps both as they are (the equivalent inverse cipher changes
// only the rounds between), and either one gives the whole key back.
TEST(RijndaelKeyHygiene, NeitherKeyNorRoundKeyOutlivesResetOrDestruction) {
    const Bytes key = Hex("2b7e151628aed2a6abf7158809cf4f3c"), lastRoundKey = Hex("d014f9a8c9ee2589e13f0cc8b6630ca6");
    for (bool reset : {false, true}) {
        alignas(Rijndael) BYTE storage[sizeof(Rijndael)] = {};
        const auto holds = [&](const Bytes& needle) {
            return std::search(storage, storage + sizeof storage, needle.begin(), needle.end()) !=
                   storage + sizeof storage;
        };
        Rijndael* cipher = new (storage) Rijndael;
        ASSERT_TRUE(cipher->Initialize(kDecrypt, key.data(), 16, kModeCbc, nullptr, 0, nullptr));
        ASSERT_TRUE(holds(key) && holds(lastRoundKey));
        if (reset) {
            ASSERT_TRUE(cipher->Reset(nullptr));
        }
        if (!reset) cipher->~Rijndael();
        EXPECT_FALSE(holds(key)) << "reset " << reset;
        EXPECT_FALSE(holds(lastRoundKey)) << "reset " << reset;
        if (reset) cipher->~Rijndael();
    }
}

// 20 bytes become 32 (4 and 12 of value 12); whole blocks get none (see the
// known answers). Decrypting, a last block ending in n bytes of value n loses
// them, padding or not; any other last block stays whole. With another space
// than 16 for the last block, k = space % 16 says how much of its end goes:
// 14 drops bytes 12 and 13 of a block ending in four 4s, 4 drops none.
TEST(RijndaelPadding, PartialBlockIsPaddedAndDecryptionDropsWhatLooksLikePadding) {
    const Bytes plaintext = Sample(20), ciphertext = Crypt(kEncrypt, plaintext);
    Bytes lastBlock = Slice(plaintext, 16, 20);
    lastBlock.resize(16, 12);
    ASSERT_EQ(32u, ciphertext.size());
    EXPECT_EQ(Crypt(kEncrypt, lastBlock, kModeCbc, kKey, Slice(ciphertext, 0, 16)), Slice(ciphertext, 16, 32));
    EXPECT_EQ(plaintext, Crypt(kDecrypt, ciphertext));
    for (BYTE n = 1; n <= 16; ++n) {
        Bytes padded = Sample(32);
        std::fill(padded.end() - n, padded.end(), n);
        EXPECT_EQ(Slice(padded, 0, 32 - n), Crypt(kDecrypt, Crypt(kEncrypt, padded))) << +n;
    }
    const Bytes notPadding[] = {{0x05, 0x00}, {0x11, 0x11}, {0x03, 0x04, 0x04, 0x04}, {0x0f, 0x10, 0x10}};
    for (const Bytes& tail : notPadding) {
        Bytes whole = Sample(32);
        std::copy(tail.begin(), tail.end(), whole.end() - tail.size());
        EXPECT_EQ(whole, Crypt(kDecrypt, Crypt(kEncrypt, whole))) << +tail.back();
    }
    Bytes block = Sample(16);
    std::fill(block.begin() + 12, block.end(), 4);
    Bytes zeroed = Slice(block, 0, 14);
    zeroed[12] = zeroed[13] = 0;
    const Bytes encrypted = Crypt(kEncrypt, block);
    EXPECT_EQ(Slice(block, 0, 8), Converted(kDecrypt, encrypted, kModeCbc, kKey, kIv, 8).second);
    EXPECT_EQ(zeroed, Slice(Converted(kDecrypt, encrypted, kModeCbc, kKey, kIv, 30).second, 0, 14));
    EXPECT_EQ(14u, Converted(kDecrypt, encrypted, kModeCbc, kKey, kIv, 30).second.size());
    EXPECT_EQ(block, Converted(kDecrypt, encrypted, kModeCbc, kKey, kIv, 20).second);
}

// Decrypting reads whole blocks only: a tail after the last is not read.
// Encryption stops with 8 at the first block without 16 bytes of space;
// decryption writes what fits and succeeds; missing buffers fail with 13.
TEST(RijndaelBounds, OutputStaysWithinItsSpaceAndMissingBuffersAreRefused) {
    const Bytes plaintext = Sample(100), ciphertext = Crypt(kEncrypt, plaintext);
    EXPECT_EQ(Slice(plaintext, 0, 16), Converted(kDecrypt, Slice(ciphertext, 0, 20), kModeCbc, kKey, kIv, 16).second);
    for (size_t space : {1u, 15u, 40u}) {
        EXPECT_EQ(std::make_pair(DWORD{ERROR_NOT_ENOUGH_MEMORY}, Bytes()),
                  Converted(kEncrypt, plaintext, kModeCbc, kKey, kIv, space));
        EXPECT_EQ(Slice(plaintext, 0, space), Converted(kDecrypt, ciphertext, kModeCbc, kKey, kIv, space).second);
    }
    Rijndael cipher;
    ULONGLONG produced = 0xbeef;
    DWORD error = 0;
    BYTE output[16];
    ASSERT_TRUE(cipher.Initialize(kEncrypt, kKey.data(), 16, kModeCbc, nullptr, 0, nullptr));
    EXPECT_FALSE(cipher.Convert(nullptr, 16, output, 16, &produced, &error));
    EXPECT_EQ(13u, error);
    EXPECT_FALSE(cipher.Convert(kKey.data(), 16, nullptr, 16, &produced, &error));
    EXPECT_EQ(13u, error);
    EXPECT_EQ(0xbeefu, produced);
}

}  // namespace

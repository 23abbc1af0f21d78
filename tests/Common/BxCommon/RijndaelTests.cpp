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

// FIPS-197 Appendix C.1 to C.3, ECB with every key length; NIST SP 800-38A
// F.2.1 and F.2.2, CBC-AES128, four blocks, in place; F.3.1 and F.3.2,
// CFB1-AES128: bits 6b c1 give 68 b3, the start of the block; the rest is
// from OpenSSL 3.0 (openssl enc -aes-128-cfb1). A second CFB1 block runs on
// the carried register; CFB1 strips no padding. The module uses only CBC.
TEST(RijndaelKnownAnswer, Fips197InEcbAndSp800_38aInCbcAndCfb1) {
    const std::pair<const char*, const char*> fips197[] = {
        {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto& [key, ciphertext] : fips197) {
        const Bytes plaintext = Hex("00112233445566778899aabbccddeeff");
        EXPECT_EQ(Hex(ciphertext), Crypt(kEncrypt, plaintext, kModeEcb, Hex(key), {})) << key;
        EXPECT_EQ(plaintext, Crypt(kDecrypt, Hex(ciphertext), kModeEcb, Hex(key), {})) << key;
    }
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

// A refused Initialize (key 13, then mode 87) changes nothing of a stream
// set up before; once processing it is refused (1), and so is Update once
// finished, until Reset. Pieces give what one call gives; decrypting, the
// last full block waits for Final, which removes the padding.
TEST(RijndaelStages, RefusalsChangeNothingAndPiecesGiveWhatOneCallGives) {
    const Bytes plaintext = Sample(100), longKey(32, 1);
    for (DWORD direction : {kEncrypt, kDecrypt}) {
        SCOPED_TRACE(direction == kEncrypt ? "encrypting" : "decrypting");
        const Bytes input = direction == kEncrypt ? plaintext : Crypt(kEncrypt, plaintext);
        Rijndael cipher;
        DWORD error = 0;
        const auto init = [&](DWORD way, const BYTE* key, size_t length, DWORD mode) {
            return cipher.Initialize(way, key, length, mode, kIv.data(), 16, &error) ? 0 : error;
        };
        ASSERT_EQ(0u, init(direction, kKey.data(), 16, kModeCbc));
        EXPECT_EQ(13u, init(1 - direction, nullptr, 24, kModeEcb));
        EXPECT_EQ(13u, init(1 - direction, longKey.data(), 17, kModeEcb));
        EXPECT_EQ(87u, init(1 - direction, longKey.data(), 32, kNoMode));
        EXPECT_EQ(16u, cipher.GetKeyLength());
        Bytes output(128);
        ULONGLONG total = 0, produced = 0;
        size_t from = 0;
        for (size_t piece : direction == kEncrypt ? std::vector<size_t>{1, 5, 17, 3, 32, 10, 32}
                                                  : std::vector<size_t>{1, 15, 16, 32, 48}) {
            ASSERT_TRUE(cipher.Update(&input[from], piece, &output[total], 128 - total, &produced, &error));
            from += piece, total += produced;
        }
        EXPECT_EQ(kRefused, init(direction, kKey.data(), 16, kModeCbc));
        EXPECT_EQ(96u, total);  // encrypting, 4 bytes wait; decrypting, a block
        ASSERT_TRUE(cipher.Final(&output[total], 16, &produced, &error));
        EXPECT_EQ(direction == kEncrypt ? Crypt(kEncrypt, plaintext) : plaintext, Slice(output, 0, total + produced));
        EXPECT_FALSE(cipher.Update(input.data(), 16, output.data(), 16, &produced, &error));
        EXPECT_EQ(kRefused, error);
        EXPECT_TRUE(cipher.Reset(&error));
    }
}

// FIPS-197 Appendix A.1: the key and its last round key. A decrypting
// schedule keeps both as they are (the equivalent inverse cipher changes
// only the rounds between), and either one gives the whole key back.
TEST(RijndaelKeyHygiene, NeitherKeyNorRoundKeyOutlivesResetOrDestruction) {
    const Bytes key = Hex("2b7e151628aed2a6abf7158809cf4f3c"), lastRoundKey = Hex("d014f9a8c9ee2589e13f0cc8b6630ca6");
    alignas(Rijndael) BYTE storage[sizeof(Rijndael)] = {};
    const auto holds = [&](const Bytes& needle) {
        return std::search(storage, storage + sizeof storage, needle.begin(), needle.end()) != storage + sizeof storage;
    };
    Rijndael* cipher = new (storage) Rijndael;
    ASSERT_TRUE(cipher->Initialize(kDecrypt, key.data(), 16, kModeCbc, nullptr, 0, nullptr));
    ASSERT_TRUE(holds(key) && holds(lastRoundKey));
    ASSERT_TRUE(cipher->Reset(nullptr));
    EXPECT_FALSE(holds(key) || holds(lastRoundKey)) << "reset";
    ASSERT_TRUE(cipher->Initialize(kDecrypt, key.data(), 16, kModeCbc, nullptr, 0, nullptr));
    cipher->~Rijndael();
    EXPECT_FALSE(holds(key) || holds(lastRoundKey)) << "destroyed";
}

// 20 bytes become 32 (4 and 12 of value 12). Decrypting, a last block ending
// in n bytes of value n loses them, padding or not; any other last block
// stays whole. With 30 bytes of space, k = 30 % 16 = 14 says how much of the
// block's end goes: bytes 12 and 13 of a block ending in four 4s. Encryption
// stops with 8 at the first block without 16 bytes of space; decryption
// writes what fits, and reads whole blocks only.
TEST(RijndaelPadding, PartialBlocksArePaddedAndDecryptionDropsWhatLooksLikePaddingWithinItsSpace) {
    const Bytes plaintext = Sample(20), ciphertext = Crypt(kEncrypt, plaintext);
    Bytes byHand = plaintext;
    byHand.resize(32, 12);
    EXPECT_EQ(Crypt(kEncrypt, byHand), ciphertext);
    EXPECT_EQ(plaintext, Crypt(kDecrypt, ciphertext));
    for (BYTE n = 1; n <= 16; ++n) {
        Bytes padded = Sample(32);
        std::fill(padded.end() - n, padded.end(), n);
        EXPECT_EQ(Slice(padded, 0, 32 - n), Crypt(kDecrypt, Crypt(kEncrypt, padded))) << +n;
    }
    for (const Bytes& tail : {Bytes{0x05, 0x00}, Bytes{0x11, 0x11}, Bytes{0x03, 0x04, 0x04, 0x04}}) {
        Bytes whole = Sample(32);
        std::copy(tail.begin(), tail.end(), whole.end() - tail.size());
        EXPECT_EQ(whole, Crypt(kDecrypt, Crypt(kEncrypt, whole))) << +tail.back();
    }
    Bytes block = Sample(16);
    std::fill(block.begin() + 12, block.end(), 4);
    Bytes zeroed = Slice(block, 0, 14);
    zeroed[12] = zeroed[13] = 0;
    EXPECT_EQ(zeroed, Converted(kDecrypt, Crypt(kEncrypt, block), kModeCbc, kKey, kIv, 30).second);

    const Bytes longer = Sample(100), encrypted = Crypt(kEncrypt, longer);
    for (size_t space : {1u, 15u, 40u}) {
        EXPECT_EQ(std::make_pair(DWORD{ERROR_NOT_ENOUGH_MEMORY}, Bytes()),
                  Converted(kEncrypt, longer, kModeCbc, kKey, kIv, space));
        EXPECT_EQ(Slice(longer, 0, space), Converted(kDecrypt, encrypted, kModeCbc, kKey, kIv, space).second);
    }
    EXPECT_EQ(Slice(longer, 0, 16), Converted(kDecrypt, Slice(encrypted, 0, 20), kModeCbc, kKey, kIv, 16).second);
}

}  // namespace

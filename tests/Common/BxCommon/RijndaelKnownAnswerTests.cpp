// Published known answers for the block cipher and its modes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Rijndael.h"

using namespace BxCommon::Cryptograph;

namespace {

using Bytes = std::vector<BYTE>;

Bytes Hex(const std::string& text) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        bytes.push_back(static_cast<BYTE>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// A new object, initialised, and one Convert; both must succeed.
Bytes Convert(DWORD direction, DWORD mode, const Bytes& key, const Bytes& iv, const Bytes& input) {
    Rijndael cipher;
    DWORD error = 0xdead;
    EXPECT_TRUE(cipher.Initialize(direction, key.data(), key.size(), mode, iv.empty() ? nullptr : iv.data(), iv.size(),
                                  &error));
    EXPECT_EQ(key.size(), cipher.GetKeyLength());
    Bytes output(input.size() + 16);
    ULONGLONG produced = 0;
    EXPECT_TRUE(cipher.Convert(input.data(), input.size(), output.data(), output.size(), &produced, &error));
    EXPECT_EQ(0u, error);
    output.resize(static_cast<size_t>(produced));
    return output;
}

// NIST SP 800-38A Appendix F: the plaintext of all its examples (the first
// block alone for CFB1), the AES-128 key and the IV.
const Bytes kSp800Plaintext = Hex(
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
const Bytes kSp800FirstBlock(kSp800Plaintext.begin(), kSp800Plaintext.begin() + 16);
const Bytes kSp800Key = Hex("2b7e151628aed2a6abf7158809cf4f3c");
const Bytes kSp800Iv = Hex("000102030405060708090a0b0c0d0e0f");

}  // namespace

// FIPS-197 Appendix C.1, C.2 and C.3. With CBC and no IV the single block
// is the same.
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
        SCOPED_TRACE(v.key);
        const Bytes key = Hex(v.key);
        const Bytes ciphertext = Hex(v.ciphertext);
        for (DWORD mode : {kModeEcb, kModeCbc}) {
            EXPECT_EQ(ciphertext, Convert(kEncrypt, mode, key, {}, plaintext));
            EXPECT_EQ(plaintext, Convert(kDecrypt, mode, key, {}, ciphertext));
        }
    }
}

// SP 800-38A F.2.1 and F.2.2, CBC-AES128, four blocks; also in place.
TEST(RijndaelKnownAnswer, Sp800_38aCbcAes128) {
    const Bytes ciphertext = Hex(
        "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
        "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7");
    EXPECT_EQ(ciphertext, Convert(kEncrypt, kModeCbc, kSp800Key, kSp800Iv, kSp800Plaintext));
    EXPECT_EQ(kSp800Plaintext, Convert(kDecrypt, kModeCbc, kSp800Key, kSp800Iv, ciphertext));

    Bytes buffer = kSp800Plaintext;
    for (DWORD direction : {kEncrypt, kDecrypt}) {
        Rijndael cipher;
        ULONGLONG produced = 0;
        ASSERT_TRUE(cipher.Initialize(direction, kSp800Key.data(), 16, kModeCbc, kSp800Iv.data(), 16, nullptr));
        ASSERT_TRUE(cipher.Convert(buffer.data(), 64, buffer.data(), 64, &produced, nullptr));
        EXPECT_EQ(64u, produced);
        EXPECT_EQ(direction == kEncrypt ? ciphertext : kSp800Plaintext, buffer);
    }
}

// SP 800-38A F.3.1 and F.3.2, CFB1-AES128: plaintext bits 0110 1011 1100
// 0001 (6b c1) give ciphertext bits 0110 1000 1011 0011 (68 b3). Here a
// block of 16 bytes is the unit, so those are the first two bytes of a
// block; no bit depends on later ones.
TEST(RijndaelKnownAnswer, Sp800_38aCfb1FirstSixteenBits) {
    const Bytes ciphertext = Convert(kEncrypt, kModeCfb1, kSp800Key, kSp800Iv, kSp800FirstBlock);
    ASSERT_EQ(16u, ciphertext.size());
    EXPECT_EQ(Hex("68b3"), Bytes(ciphertext.begin(), ciphertext.begin() + 2));

    Bytes block = Hex("68b3");
    block.resize(16, 0x5a);
    const Bytes plaintext = Convert(kDecrypt, kModeCfb1, kSp800Key, kSp800Iv, block);
    ASSERT_EQ(16u, plaintext.size());
    EXPECT_EQ(Hex("6bc1"), Bytes(plaintext.begin(), plaintext.begin() + 2));
}

// All 128 bits of that block, from OpenSSL 3.0 (openssl enc -aes-128-cfb1,
// same key and IV), then a second block on the carried register. Decrypting
// looks for no padding: a last byte of 01 stays.
TEST(RijndaelKnownAnswer, Cfb1WholeBlocks) {
    const Bytes first = Hex("68b3a264f838f5f8c3101070d1ab4c2e");
    EXPECT_EQ(first, Convert(kEncrypt, kModeCfb1, kSp800Key, kSp800Iv, kSp800FirstBlock));
    EXPECT_EQ(kSp800FirstBlock, Convert(kDecrypt, kModeCfb1, kSp800Key, kSp800Iv, first));

    Bytes plaintext(kSp800Plaintext.begin(), kSp800Plaintext.begin() + 32);
    plaintext.back() = 0x01;
    const Bytes ciphertext = Convert(kEncrypt, kModeCfb1, kSp800Key, kSp800Iv, plaintext);
    EXPECT_EQ(first, Bytes(ciphertext.begin(), ciphertext.begin() + 16));
    EXPECT_EQ(plaintext, Convert(kDecrypt, kModeCfb1, kSp800Key, kSp800Iv, ciphertext));
}

// Padding, streaming and output limits: what Convert, Update and Final read
// and write, and that nothing lands past the output space they are given.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Common/BxCommon/BxComn_Rijndael.h"

using namespace BxCommon::Cryptograph;

namespace {

using Bytes = std::vector<BYTE>;

const Bytes kKey(16, 0x3c);
const Bytes kIv(16, 0xa5);
constexpr BYTE kGuard = 0xcd;

Bytes Sample(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 37 + 11);
    return bytes;
}

struct Result {
    bool ok;
    DWORD error;
    ULONGLONG produced;
    Bytes output;  // the whole output space
};

// Convert with a new CBC object into `space` bytes, which guard bytes
// follow; checks that they stay.
Result Convert(DWORD direction, const Bytes& input, size_t space, DWORD mode = kModeCbc) {
    Rijndael cipher;
    EXPECT_TRUE(cipher.Initialize(direction, kKey.data(), 16, mode, kIv.data(), 16, nullptr));
    Bytes buffer(space + 64, kGuard);
    Result result{false, 0xdead, 0xbeef, {}};
    result.ok = cipher.Convert(input.data(), input.size(), buffer.data(), space, &result.produced, &result.error);
    EXPECT_TRUE(std::all_of(buffer.begin() + space, buffer.end(), [](BYTE b) { return b == kGuard; }));
    result.output.assign(buffer.begin(), buffer.begin() + space);
    return result;
}

Bytes Encrypt(const Bytes& plaintext, DWORD mode = kModeCbc) {
    Result result = Convert(kEncrypt, plaintext, plaintext.size() + 16, mode);
    EXPECT_TRUE(result.ok);
    return Bytes(result.output.begin(), result.output.begin() + result.produced);
}

// What a decryption of whole blocks gives back, its unused space cut off.
Bytes Decrypt(const Bytes& ciphertext) {
    Result result = Convert(kDecrypt, ciphertext, ciphertext.size());
    EXPECT_TRUE(result.ok);
    return Bytes(result.output.begin(), result.output.begin() + result.produced);
}

}  // namespace

// Whole blocks get no padding block; 20 bytes become 32, the last block
// holding 4 bytes and 12 of value 12, and come back as 20 with the 12
// zeroed in the output.
TEST(RijndaelPadding, OnlyAPartialBlockIsPadded) {
    EXPECT_EQ(32u, Encrypt(Sample(32)).size());

    const Bytes plaintext = Sample(20);
    const Bytes ciphertext = Encrypt(plaintext, kModeEcb);
    ASSERT_EQ(32u, ciphertext.size());
    Bytes lastBlock(plaintext.begin() + 16, plaintext.end());
    lastBlock.resize(16, 12);
    EXPECT_EQ(Encrypt(lastBlock, kModeEcb), Bytes(ciphertext.begin() + 16, ciphertext.end()));

    Result result = Convert(kDecrypt, Encrypt(plaintext), 32);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(20u, result.produced);
    Bytes expected = plaintext;
    expected.resize(32, 0);
    EXPECT_EQ(expected, result.output);
}

// A last block ending in n bytes of value n loses them, whether they were
// padding or not; any other last block stays whole.
TEST(RijndaelPadding, DecryptionDropsWhatLooksLikePadding) {
    for (BYTE n = 1; n <= 16; ++n) {
        SCOPED_TRACE(n);
        Bytes plaintext = Sample(32);
        std::fill(plaintext.end() - n, plaintext.end(), n);
        EXPECT_EQ(Bytes(plaintext.begin(), plaintext.end() - n), Decrypt(Encrypt(plaintext)));
    }
    const Bytes notPadding[] = {{0x05, 0x00}, {0x11, 0x11}, {0xff}, {0x04, 0x03, 0x04, 0x04}, {0x0f, 0x10, 0x10}};
    for (const Bytes& tail : notPadding) {
        SCOPED_TRACE(tail.back());
        Bytes plaintext = Sample(32);
        std::copy(tail.begin(), tail.end(), plaintext.end() - tail.size());
        EXPECT_EQ(plaintext, Decrypt(Encrypt(plaintext)));
    }
}

// Only a space of exactly 16 for the last block drops exactly the padding;
// otherwise k = space % 16 says how much of the block's end goes.
TEST(RijndaelPadding, FinalCountsPaddingAgainstItsSpace) {
    Bytes plaintext = Sample(16);
    std::fill(plaintext.begin() + 12, plaintext.end(), 4);
    const Bytes ciphertext = Encrypt(plaintext);
    Bytes zeroed = plaintext;
    zeroed[12] = zeroed[13] = 0;
    const struct {
        ULONGLONG space, produced;
        Bytes written;
    } cases[] = {
        {16, 12, Bytes(plaintext.begin(), plaintext.begin() + 12)},
        {30, 14, zeroed},     // k = 14: bytes 12 and 13 go
        {20, 16, plaintext},  // k = 4 does not reach the padding
        {8, 8, Bytes(plaintext.begin(), plaintext.begin() + 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.space);
        Rijndael cipher;
        ASSERT_TRUE(cipher.Initialize(kDecrypt, kKey.data(), 16, kModeCbc, kIv.data(), 16, nullptr));
        Bytes output(64, kGuard);
        ULONGLONG produced = 0xbeef;
        ASSERT_TRUE(cipher.Update(ciphertext.data(), 16, output.data(), 64, &produced, nullptr));
        ASSERT_EQ(0u, produced);  // the block waits for Final
        ASSERT_TRUE(cipher.Final(output.data(), c.space, &produced, nullptr));
        EXPECT_EQ(c.produced, produced);
        EXPECT_EQ(c.written, Bytes(output.begin(), output.begin() + c.written.size()));
        EXPECT_EQ(kGuard, output[c.space]);
    }
}

// Fewer than 16 bytes fail; a tail after the last whole block is ignored.
TEST(RijndaelPadding, DecryptionReadsWholeBlocksOnly) {
    const Bytes ciphertext = Encrypt(Sample(16));
    Result shortInput = Convert(kDecrypt, Bytes(ciphertext.begin(), ciphertext.begin() + 15), 32);
    EXPECT_FALSE(shortInput.ok);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FUNCTION), shortInput.error);
    EXPECT_EQ(0xbeefu, shortInput.produced);

    Bytes withTail = ciphertext;
    withTail.insert(withTail.end(), {0xde, 0xad, 0xbe, 0xef});
    Result tail = Convert(kDecrypt, withTail, 16);
    ASSERT_TRUE(tail.ok);
    EXPECT_EQ(Sample(16), tail.output);
}

// Encrypting, pieces of any size give what one call gives. Decrypting, a
// full block followed by fewer than 16 bytes of the same call is held (it
// may be the last) and those bytes are not read, so a stream is cut at
// block boundaries, in pieces of at least a block once one is held.
TEST(RijndaelStreaming, PiecesGiveWhatOneCallGives) {
    const Bytes plaintext = Sample(100);
    const Bytes ciphertext = Encrypt(plaintext);
    const std::vector<size_t> pieces[] = {{1, 5, 17, 3, 32, 10, 32}, {1, 15, 16, 32, 48}};
    for (DWORD direction : {kEncrypt, kDecrypt}) {
        SCOPED_TRACE(direction);
        const Bytes& input = direction == kEncrypt ? plaintext : ciphertext;
        Rijndael cipher;
        ASSERT_TRUE(cipher.Initialize(direction, kKey.data(), 16, kModeCbc, kIv.data(), 16, nullptr));
        Bytes output(128);
        ULONGLONG total = 0, produced = 0;
        const BYTE* next = input.data();
        for (size_t piece : pieces[direction]) {
            ASSERT_TRUE(cipher.Update(next, piece, output.data() + total, 128 - total, &produced, nullptr));
            next += piece;
            total += produced;
        }
        EXPECT_EQ(96u, total);  // encrypting, 4 bytes wait; decrypting, a block
        ASSERT_TRUE(cipher.Final(output.data() + total, 16, &produced, nullptr));
        output.resize(total + produced);
        EXPECT_EQ(direction == kEncrypt ? ciphertext : plaintext, output);
    }

    Rijndael cipher;
    ASSERT_TRUE(cipher.Initialize(kDecrypt, kKey.data(), 16, kModeCbc, kIv.data(), 16, nullptr));
    Bytes output(64);
    ULONGLONG produced = 0;
    ASSERT_TRUE(cipher.Update(ciphertext.data(), 20, output.data(), 64, &produced, nullptr));  // 4 unread
    ASSERT_TRUE(cipher.Update(ciphertext.data() + 16, 15, output.data(), 64, &produced, nullptr));  // unread
    EXPECT_EQ(0u, produced);
    ASSERT_TRUE(cipher.Update(ciphertext.data() + 16, 32, output.data(), 64, &produced, nullptr));
    EXPECT_EQ(32u, produced);
    EXPECT_EQ(Bytes(plaintext.begin(), plaintext.begin() + 32), Bytes(output.begin(), output.begin() + 32));
}

// Missing buffers fail with 13 (and still start processing); an empty
// input is no work.
TEST(RijndaelBounds, MissingBuffersAndEmptyInput) {
    const Bytes input = Sample(16);
    BYTE output[16];
    const struct {
        const BYTE* input;
        BYTE* output;
        ULONGLONG space;
    } cases[] = {{nullptr, output, 16}, {input.data(), nullptr, 16}, {input.data(), output, 0}};
    for (const auto& c : cases) {
        Rijndael cipher;
        ASSERT_TRUE(cipher.Initialize(kDecrypt, kKey.data(), 16, kModeCbc, nullptr, 0, nullptr));
        ULONGLONG produced = 0xbeef;
        DWORD error = 0;
        EXPECT_FALSE(cipher.Convert(c.input, 16, c.output, c.space, &produced, &error));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), error);
        EXPECT_EQ(0xbeefu, produced);
        EXPECT_FALSE(cipher.Initialize(kDecrypt, kKey.data(), 16, kModeCbc, nullptr, 0, &error));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FUNCTION), error);
    }
    for (DWORD direction : {kEncrypt, kDecrypt}) {
        Rijndael cipher;
        ASSERT_TRUE(cipher.Initialize(direction, kKey.data(), 16, kModeCbc, nullptr, 0, nullptr));
        std::fill(std::begin(output), std::end(output), kGuard);
        ULONGLONG produced = 0xbeef;
        EXPECT_TRUE(cipher.Convert(input.data(), 0, output, 16, &produced, nullptr));
        EXPECT_EQ(0u, produced);
        EXPECT_EQ(Bytes(16, kGuard), Bytes(output, output + 16));
    }
    Rijndael cipher;
    ASSERT_TRUE(cipher.Initialize(kEncrypt, kKey.data(), 16, kModeCbc, nullptr, 0, nullptr));
    ASSERT_TRUE(cipher.Update(input.data(), 5, output, 16, nullptr, nullptr));
    DWORD error = 0;
    EXPECT_FALSE(cipher.Final(nullptr, 16, nullptr, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), error);
}

// Encryption stops with 8 at the first block without 16 bytes of space;
// decryption writes what fits and succeeds. Convert checks the guards.
TEST(RijndaelBounds, LongInputIntoShortSpace) {
    const Bytes plaintext = Sample(1 << 20);
    const Bytes ciphertext = Encrypt(plaintext);
    for (size_t space : {1u, 15u, 16u, 40u, 1000u}) {
        SCOPED_TRACE(space);
        Result encrypted = Convert(kEncrypt, plaintext, space);
        EXPECT_FALSE(encrypted.ok);
        EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), encrypted.error);

        Rijndael cipher;
        ASSERT_TRUE(cipher.Initialize(kEncrypt, kKey.data(), 16, kModeCbc, kIv.data(), 16, nullptr));
        Bytes output(space + 16, kGuard);
        ULONGLONG produced = 0;
        EXPECT_FALSE(cipher.Update(plaintext.data(), plaintext.size(), output.data(), space, &produced, nullptr));
        EXPECT_EQ(space / 16 * 16, produced);
        EXPECT_EQ(Bytes(16, kGuard), Bytes(output.begin() + space, output.end()));

        Result decrypted = Convert(kDecrypt, ciphertext, space);
        ASSERT_TRUE(decrypted.ok);
        EXPECT_EQ(space, decrypted.produced);
        EXPECT_EQ(Bytes(plaintext.begin(), plaintext.begin() + space), decrypted.output);
    }
    Result padded = Convert(kEncrypt, Sample(20), 16);  // the padded block does not fit
    EXPECT_FALSE(padded.ok);
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), padded.error);
}

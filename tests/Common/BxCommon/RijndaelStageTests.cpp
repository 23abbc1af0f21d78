// The cipher's stages: what each allows, what a refused or failed call
// leaves behind, Initialize's checks and Reset.
#include <gtest/gtest.h>

#include <vector>

#include "Common/BxCommon/BxComn_Rijndael.h"

using namespace BxCommon::Cryptograph;

namespace {

using Bytes = std::vector<BYTE>;

const Bytes kKey(16, 0x21);
const Bytes kOtherKey(32, 0x77);
const Bytes kIv = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const Bytes kInput = {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe, 0x0f, 0x1e, 0x2d,
                      0x3c, 0x4b, 0x5a, 0x69, 0x78, 0x87, 0x96, 0xa5, 0xb4, 0xc3, 0xd2,
                      0xe1, 0xf0, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef};

struct Call {
    bool ok;
    DWORD error;
    ULONGLONG produced;
};

Call Initialize(Rijndael& cipher, DWORD direction, const Bytes& key, DWORD mode) {
    Call call{false, 0xdead, 0};
    call.ok = cipher.Initialize(direction, key.data(), key.size(), mode, kIv.data(), kIv.size(), &call.error);
    return call;
}

Call Update(Rijndael& cipher, size_t length, BYTE* output, ULONGLONG space) {
    Call call{false, 0xdead, 0xbeef};
    call.ok = cipher.Update(kInput.data(), length, output, space, &call.produced, &call.error);
    return call;
}

Call Final(Rijndael& cipher) {
    BYTE output[16];
    Call call{false, 0xdead, 0xbeef};
    call.ok = cipher.Final(output, sizeof output, &call.produced, &call.error);
    return call;
}

Call Reset(Rijndael& cipher) {
    Call call{false, 0xdead, 0};
    call.ok = cipher.Reset(&call.error);
    return call;
}

void ExpectFailure(DWORD error, const Call& call) {
    EXPECT_FALSE(call.ok);
    EXPECT_EQ(error, call.error);
}

// Encrypts all of kInput (two blocks) with a new object.
Bytes Reference(const Bytes& key, DWORD mode, const Bytes& iv) {
    Rijndael cipher;
    EXPECT_TRUE(cipher.Initialize(kEncrypt, key.data(), key.size(), mode, iv.data(), iv.size(), nullptr));
    Bytes output(32);
    EXPECT_TRUE(cipher.Convert(kInput.data(), 32, output.data(), 32, nullptr, nullptr));
    return output;
}

}  // namespace

// A new object, and one that was used and then reset: no key, nothing
// allowed but Initialize, and after it no trace of the earlier key or chain.
TEST(RijndaelStages, IdleRefusesAllButInitialize) {
    Rijndael fresh, reset;
    ASSERT_TRUE(Initialize(reset, kEncrypt, kOtherKey, kModeCbc).ok);
    BYTE output[32];
    ASSERT_TRUE(reset.Convert(kInput.data(), 20, output, 32, nullptr, nullptr));
    Call resetCall = Reset(reset);
    EXPECT_TRUE(resetCall.ok);
    EXPECT_EQ(0u, resetCall.error);

    for (Rijndael* cipher : {&fresh, &reset}) {
        EXPECT_EQ(16u, cipher->GetBlockSize());
        EXPECT_EQ(0u, cipher->GetKeyLength());
        Call update = Update(*cipher, 32, output, 32);
        ExpectFailure(ERROR_INVALID_FUNCTION, update);
        EXPECT_EQ(0u, update.produced);
        ExpectFailure(ERROR_INVALID_FUNCTION, Final(*cipher));
        ExpectFailure(ERROR_INVALID_FUNCTION, Reset(*cipher));
        ULONGLONG produced = 0xbeef;  // Convert writes it only on success.
        EXPECT_FALSE(cipher->Convert(kInput.data(), 32, output, 32, &produced, nullptr));
        EXPECT_EQ(0xbeefu, produced);
        EXPECT_FALSE(cipher->Update(kInput.data(), 32, output, 32, nullptr, nullptr));

        ASSERT_TRUE(Initialize(*cipher, kEncrypt, kKey, kModeCbc).ok);
        ASSERT_TRUE(cipher->Convert(kInput.data(), 32, output, 32, nullptr, nullptr));
        EXPECT_EQ(Reference(kKey, kModeCbc, kIv), Bytes(output, output + 32));
    }
}

// Final before Update, Initialize while processing, and everything but
// Reset once finished, are refused without touching the stream.
TEST(RijndaelStages, RefusedCallsChangeNothing) {
    Rijndael cipher;
    ASSERT_TRUE(Initialize(cipher, kEncrypt, kKey, kModeCbc).ok);
    ExpectFailure(ERROR_INVALID_FUNCTION, Final(cipher));
    Bytes output(32);
    ASSERT_EQ(16u, Update(cipher, 20, output.data(), 32).produced);
    ExpectFailure(ERROR_INVALID_FUNCTION, Initialize(cipher, kDecrypt, kOtherKey, kModeEcb));
    EXPECT_EQ(16u, cipher.GetKeyLength());
    ULONGLONG produced = 0;
    ASSERT_TRUE(cipher.Update(kInput.data() + 20, 12, output.data() + 16, 16, &produced, nullptr));
    EXPECT_EQ(Reference(kKey, kModeCbc, kIv), output);

    ExpectFailure(ERROR_INVALID_FUNCTION, Final(cipher));  // no partial block to pad
    ExpectFailure(ERROR_INVALID_FUNCTION, Final(cipher));  // finished
    ExpectFailure(ERROR_INVALID_FUNCTION, Update(cipher, 16, output.data(), 32));
    ExpectFailure(ERROR_INVALID_FUNCTION, Initialize(cipher, kEncrypt, kKey, kModeCbc));
}

TEST(RijndaelStages, InitializeChecksTheKeyThenTheMode) {
    Rijndael cipher;
    DWORD error = 0;
    EXPECT_FALSE(cipher.Initialize(kEncrypt, nullptr, 16, kModeEcb, nullptr, 0, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), error);
    for (size_t length : {0u, 15u, 17u, 20u, 31u, 33u}) {
        SCOPED_TRACE(length);
        ExpectFailure(ERROR_INVALID_DATA, Initialize(cipher, kEncrypt, Bytes(length, 1), kModeEcb));
        EXPECT_EQ(0u, cipher.GetKeyLength());
    }
    // Mode 3 is found after the key is taken: key and direction change, the
    // stage (here idle) does not.
    ExpectFailure(ERROR_INVALID_PARAMETER, Initialize(cipher, kEncrypt, kOtherKey, kNoMode));
    EXPECT_EQ(32u, cipher.GetKeyLength());
    BYTE output[16];
    ExpectFailure(ERROR_INVALID_FUNCTION, Update(cipher, 16, output, 16));

    // Initialised for ECB encryption, then refused mode 3 for decryption with
    // another key: it now decrypts ECB with that key.
    ASSERT_TRUE(Initialize(cipher, kEncrypt, kKey, kModeEcb).ok);
    ExpectFailure(ERROR_INVALID_PARAMETER, Initialize(cipher, kDecrypt, kOtherKey, kNoMode));
    const Bytes ciphertext = Reference(kOtherKey, kModeEcb, {});
    ULONGLONG produced = 0;
    ASSERT_TRUE(cipher.Convert(ciphertext.data(), 16, output, 16, &produced, nullptr));
    EXPECT_EQ(Bytes(kInput.begin(), kInput.begin() + 16), Bytes(output, output + produced));
}

// Only a block step looks at the direction.
TEST(RijndaelStages, UnknownDirectionFailsAtTheFirstBlock) {
    Rijndael cipher;
    ASSERT_TRUE(Initialize(cipher, 7, kKey, kModeCbc).ok);
    BYTE output[32];
    EXPECT_TRUE(Update(cipher, 10, output, 32).ok);
    ExpectFailure(ERROR_NOT_SUPPORTED, Update(cipher, 10, output, 32));
    ExpectFailure(ERROR_NOT_SUPPORTED, Final(cipher));
}

// The IV fills the register from its start, the rest being zero.
TEST(RijndaelStages, ShortAndLongIvs) {
    const Bytes longIv(32, 0x5c);
    Bytes halfIv(kIv.begin(), kIv.begin() + 8);
    halfIv.resize(16, 0);
    const struct {
        const Bytes& iv;
        size_t length;
        Bytes reference;
    } cases[] = {{longIv, 32, Bytes(longIv.begin(), longIv.begin() + 16)}, {kIv, 8, halfIv}, {kIv, 0, Bytes(16, 0)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        Rijndael cipher;
        ASSERT_TRUE(cipher.Initialize(kEncrypt, kKey.data(), 16, kModeCbc, c.iv.data(), c.length, nullptr));
        Bytes output(32);
        ASSERT_TRUE(cipher.Convert(kInput.data(), 32, output.data(), 32, nullptr, nullptr));
        EXPECT_EQ(Reference(kKey, kModeCbc, c.reference), output);
    }
}

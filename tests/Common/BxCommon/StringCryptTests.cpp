// Stored strings: what decrypts and what the plaintext's bytes become, and the
// string key's absence from the plug-in's image.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ChildProcess.h"
#include "Common/BxCommon/BxComn_Rijndael.h"
#include "Common/BxCommon/BxComn_StringCrypt.h"
#include "Common/BxCommon/BxComn_StringEncrypt.h"
#include "Common/BxCommon/BxComn_StringKey.h"
#include "TextFile.h"

using namespace BxCommon::Cryptograph;

namespace {

std::wstring Stored(const std::wstring& text) {
    std::wstring stored;
    EXPECT_TRUE(EncryptStringW(stored, text));
    return stored;
}

// The stored form of arbitrary plaintext bytes (a whole number of blocks).
std::wstring StoredBytes(std::vector<BYTE> plaintext) {
    StringKey key;
    Rijndael cipher;
    std::vector<BYTE> ciphertext(plaintext.size());
    EXPECT_TRUE(cipher.Initialize(kEncrypt, key.Bytes(), StringKey::kLength, kModeCbc, nullptr, 0, nullptr));
    EXPECT_TRUE(
        cipher.Convert(plaintext.data(), plaintext.size(), ciphertext.data(), ciphertext.size(), nullptr, nullptr));
    std::wstring digits;
    for (BYTE byte : ciphertext) digits += {L"0123456789abcdef"[byte >> 4], L"0123456789abcdef"[byte & 15]};
    return digits;
}

}  // namespace

// Upper-case digits, whole blocks; U+00C4 and U+1F3B2 (D83C DFB2) take two and
// four bytes of UTF-8.
TEST(StringCrypt, RoundTripsTextOfEveryLengthAndPlane) {
    for (const std::wstring& text : {std::wstring(L""), std::wstring(15, L'x'), std::wstring(16, L'y'),
                                     std::wstring(L"D:\\Spiele\\\u00c4rger"), std::wstring(L"C:\\\xD83C\xDFB2 Dice")}) {
        const std::wstring stored = Stored(text);
        EXPECT_EQ(0u, stored.size() % 32);
        EXPECT_EQ(stored.end(), std::find_if(stored.begin(), stored.end(), iswlower));
        std::wstring out = L"previous";
        EXPECT_TRUE(DecryptStringW(out, stored));
        EXPECT_EQ(text, out);
    }
}

// Whole blocks of digit pairs are decrypted: an unpaired digit and bytes
// after the last block are ignored (with 20 bytes of output space the
// padding of the block is not recognised as such); fewer than 32 digits
// fail in every form, leaving the output as it was. Digits are not checked.
TEST(StringCrypt, DigitCountsDecideWhatIsDecrypted) {
    const std::wstring stored = Stored(L"C:\\Games");
    ASSERT_EQ(32u, stored.size());
    const std::pair<std::wstring, std::wstring> cases[] = {
        {stored + L"7", L"C:\\Games"},
        {stored + L"0123ABCD", L"C:\\Games" + std::wstring(8, L'\b')},
        {std::wstring(stored.size(), L'?'), L"<decrypted>"},
        {stored + std::wstring(L"\0FF", 3), L"C:\\Games"},
    };
    for (const auto& [in, expected] : cases) {
        std::wstring lower = in, out;
        std::transform(lower.begin(), lower.end(), lower.begin(), towlower);
        EXPECT_TRUE(DecryptStringW(out, lower)) << in;
        if (expected != L"<decrypted>") {
            EXPECT_EQ(expected, out) << in;
        }
    }
    for (const std::wstring& tooShort : {stored.substr(0, 31), std::wstring()}) {
        std::wstring out = L"unchanged";
        EXPECT_FALSE(DecryptStringW(out, tooShort));
        EXPECT_EQ(L"unchanged", out);
        const std::string narrow(tooShort.begin(), tooShort.end());
        std::string bytes = "unchanged";
        EXPECT_FALSE(DecryptStringA(bytes, narrow));
        EXPECT_FALSE(DecryptStringA_Sub(bytes, narrow, static_cast<DWORD>(narrow.size() / 2)));
        EXPECT_EQ("unchanged", bytes);
    }
}

// The wide text ends at the first zero byte and replaces invalid UTF-8 (FF
// is never valid, C3 lacks its continuation byte); the narrow form keeps the
// bytes as they are, less the padding.
TEST(StringCrypt, PlaintextBytesBecomeTextUpToTheFirstZero) {
    std::vector<BYTE> plaintext = {0xFF, 'a', 0xC3, 'b', 0, 'c'};
    plaintext.resize(16, 0);
    const std::wstring stored = StoredBytes(plaintext);
    std::wstring out;
    EXPECT_TRUE(DecryptStringW(out, stored));
    EXPECT_EQ(L"\uFFFDa\uFFFDb", out);
    std::string bytes;
    EXPECT_TRUE(DecryptStringA(bytes, std::string(stored.begin(), stored.end())));
    EXPECT_EQ(std::string(plaintext.begin(), plaintext.end()), bytes);
    const std::wstring padded = Stored(L"C:\\Games");
    EXPECT_TRUE(DecryptStringA(bytes, std::string(padded.begin(), padded.end())));
    EXPECT_EQ("C:\\Games", bytes) << "padding removed";
}

TEST(StringKey, NeverStandsWholeInThePlugIn) {
    const std::string image = TestSupport::ReadBytes(TestSupport::BinaryFolder() + L"Tavrel.dll");
    ASSERT_FALSE(image.empty());
    const StringKey key;
    EXPECT_EQ(std::string::npos,
              image.find(std::string(reinterpret_cast<const char*>(key.Bytes()), StringKey::kLength)));
}

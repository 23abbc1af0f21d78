#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ChildProcess.h"
#include "Common/BxCommon/BxComn_Rijndael.h"
#include "Common/BxCommon/BxComn_StringCrypt.h"
#include "Common/BxCommon/BxComn_StringEncrypt.h"
#include "Common/BxCommon/BxComn_StringKey.h"
#include "DebugRecorder.h"
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
    std::vector<BYTE> ciphertext(plaintext.size() + 16);
    ULONGLONG produced = 0;
    EXPECT_TRUE(cipher.Initialize(kEncrypt, key.Bytes(), StringKey::kLength, kModeCbc, nullptr, 0, nullptr));
    EXPECT_TRUE(
        cipher.Convert(plaintext.data(), plaintext.size(), ciphertext.data(), ciphertext.size(), &produced, nullptr));
    std::wstring digits;
    for (ULONGLONG i = 0; i < produced; ++i) {
        wchar_t pair[3];
        swprintf(pair, 3, L"%02x", ciphertext[i]);
        digits += pair;
    }
    return digits;
}

}  // namespace

TEST(StringCrypt, RoundTripsTextOfEveryLengthAndPlane) {
    for (const std::wstring& text :
         {std::wstring(L"C:\\Games"), std::wstring(L""), std::wstring(15, L'x'), std::wstring(16, L'y'),
          std::wstring(17, L'z'), std::wstring(L"D:\\Spiele\\\u00c4rger"), std::wstring(L"C:\\\xD83C\xDFB2 Dice"),
          std::wstring(300, L'p')}) {
        std::wstring stored = Stored(text);
        EXPECT_EQ(0u, stored.size() % 32);
        EXPECT_EQ(stored.end(), std::find_if(stored.begin(), stored.end(), [](wchar_t c) { return iswlower(c); }))
            << "digits are upper case";
        std::wstring out = L"previous";
        EXPECT_TRUE(DecryptStringW(out, stored));
        EXPECT_EQ(text, out);
    }
}

TEST(StringCrypt, DigitCountsDecideWhatIsDecrypted) {
    const std::wstring stored = Stored(L"C:\\Games");  // one block: 32 digits
    ASSERT_EQ(32u, stored.size());
    std::wstring out;
    EXPECT_TRUE(DecryptStringW(out, stored + L"7"));  // 33: the unpaired digit is ignored
    EXPECT_EQ(L"C:\\Games", out);
    // 40 digits: the bytes after the block are ignored, and with 20 bytes of
    // output space the padding of the block is not recognised as such.
    EXPECT_TRUE(DecryptStringW(out, stored + L"0123ABCD"));
    EXPECT_EQ(L"C:\\Games" + std::wstring(8, L'\b'), out);

    std::wstring lower = stored;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return towlower(c); });
    EXPECT_TRUE(DecryptStringW(out, lower));
    EXPECT_EQ(L"C:\\Games", out);

    // 15 bytes (no whole block) and none at all fail, leaving every form's
    // output as it was.
    for (const std::wstring& tooShort : {stored.substr(0, 31), std::wstring()}) {
        out = L"unchanged";
        EXPECT_FALSE(DecryptStringW(out, tooShort));
        EXPECT_EQ(L"unchanged", out);
        const std::string narrow(tooShort.begin(), tooShort.end());
        std::string bytes = "unchanged";
        EXPECT_FALSE(DecryptStringA(bytes, narrow));
        EXPECT_EQ("unchanged", bytes);
        EXPECT_FALSE(DecryptStringA_Sub(bytes, narrow, static_cast<DWORD>(narrow.size() / 2)));
        EXPECT_EQ("unchanged", bytes);
    }
}

TEST(StringCrypt, AFailedDecryptionLogsEachStageInOrder) {
    TestSupport::SwitchOnWithRecorder(BxCommon::TheDebugLog(), 256);
    std::wstring out;
    EXPECT_FALSE(DecryptStringW(out, L"0123456789ABCDEF0123456789ABCDE"));
    EXPECT_FALSE(DecryptStringW(out, L""));
    auto lines = TestSupport::RecordedDebugLines();
    ASSERT_EQ(6u, lines.size());
    const std::wstring expected[] = {
        L"*** BxCommon::Cryptograph::DecryptStringA_Sub() - cRijndael.Convert() was failed. [1]",
        L"*** BxCommon::Cryptograph::EncryptStringA() - DecryptStringA_Sub() was failed.",
        L"*** BxCommon::Cryptograph::DecryptStringW() - DecryptStringA() was failed",
        L"*** BxCommon::Cryptograph::DecryptStringA_Sub() - cRijndael.Convert() was failed. [13]",
    };
    for (size_t i = 0; i < 4; ++i) EXPECT_NE(std::wstring::npos, lines[i].find(L"> " + expected[i] + L" - ")) << i;
    EXPECT_NE(std::wstring::npos, lines[0].find(L" !!! <Test> "));
}

TEST(StringCrypt, DigitsAreNotCheckedButNeverReadPastTheirEnd) {
    std::wstring out;
    // Pairs that are not hex give the value of their valid beginning: wrong
    // text, not a failure.
    EXPECT_TRUE(DecryptStringW(out, std::wstring(32, L'Z')));
    EXPECT_TRUE(DecryptStringW(out, L"0g1h2i3j4k5l6m7n8o9pAqBrCsDtEuFv"));
    // Odd length, embedded NULs (the text ends there), and 2 MiB of digits.
    EXPECT_TRUE(DecryptStringW(out, Stored(L"C:\\Games") + std::wstring(L"\0FF", 3)));
    EXPECT_EQ(L"C:\\Games", out);
    EXPECT_FALSE(DecryptStringW(out, std::wstring(L"0123\0", 5) + std::wstring(40, L'A')));
    std::wstring huge;
    for (int i = 0; huge.size() < 2u * 1024 * 1024; ++i) huge += L"0123456789ABCDEFfedcba9876543210";
    EXPECT_TRUE(DecryptStringW(out, huge + L"1"));
    EXPECT_TRUE(DecryptStringW(out, std::wstring(2u * 1024 * 1024 + 1, L'#')));
}

TEST(StringCrypt, InvalidUtf8PlaintextGivesReplacementCharacters) {
    // FF: never valid in UTF-8; C3 without its continuation byte. Padded to a
    // block with 13 bytes of value 13.
    std::vector<BYTE> plaintext = {0xFF, 'a', 0xC3};
    plaintext.resize(16, 13);
    std::wstring out;
    EXPECT_TRUE(DecryptStringW(out, StoredBytes(plaintext)));
    EXPECT_EQ(L"\uFFFDa\uFFFD", out);
}

TEST(StringCrypt, TextEndsAtTheFirstZeroByteOfThePlaintext) {
    std::vector<BYTE> plaintext = {'a', 'b', 0, 'c'};
    plaintext.resize(16, 0);
    std::wstring out;
    EXPECT_TRUE(DecryptStringW(out, StoredBytes(plaintext)));
    EXPECT_EQ(L"ab", out);
    std::string bytes;
    std::string hex;
    for (wchar_t c : StoredBytes(plaintext)) hex += static_cast<char>(c);
    EXPECT_TRUE(DecryptStringA(bytes, hex));
    EXPECT_EQ(16u, bytes.size()) << "the narrow form keeps the zero bytes";
}

TEST(StringKey, NeverStandsWholeInThePlugIn) {
    std::string image = TestSupport::ReadBytes(TestSupport::BinaryFolder() + L"Tavrel.dll");
    ASSERT_FALSE(image.empty());
    StringKey key;
    std::string bytes(reinterpret_cast<const char*>(key.Bytes()), StringKey::kLength);
    EXPECT_EQ(std::string::npos, image.find(bytes));
}

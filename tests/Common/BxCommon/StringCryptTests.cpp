// Stored strings: what decrypts and what the plaintext's bytes become, and the
// string key's absence from the plug-in's image.
#include <gtest/gtest.h>

#include <algorithm>

#include "ChildProcess.h"
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

// Whole blocks of digit pairs are decrypted, in either case: an unpaired
// digit and bytes after the last block are ignored (with 20 bytes of output
// space the padding of the block is not recognised as such); fewer than 32
// digits fail in every form, leaving the output as it was. "\" 00 "corrupt
// block!", written by OpenSSL with the development key (see
// ExceptionFilterTests.cpp): the wide text ends at the zero byte, the narrow
// form keeps every byte.
TEST(StringCrypt, DigitCountsDecideWhatIsDecryptedAndWideTextEndsAtAZeroByte) {
    std::wstring stored = Stored(L"C:\\Games");
    ASSERT_EQ(32u, stored.size());
    std::transform(stored.begin(), stored.end(), stored.begin(), towlower);
    const std::pair<std::wstring, std::wstring> cases[] = {
        {stored + L"7", L"C:\\Games"},
        {stored + L"0123abcd", L"C:\\Games" + std::wstring(8, L'\b')},
        {stored + std::wstring(L"\0FF", 3), L"C:\\Games"},
        {L"E3EEEE04675D87BB209B917175C32951", L"\\"},
    };
    for (const auto& [in, expected] : cases) {
        std::wstring out;
        EXPECT_TRUE(DecryptStringW(out, in)) << in;
        EXPECT_EQ(expected, out) << in;
    }
    std::string narrow;
    EXPECT_TRUE(DecryptStringA(narrow, "E3EEEE04675D87BB209B917175C32951"));
    EXPECT_EQ(std::string("\\\0corrupt block!", 16), narrow);
    for (const std::wstring& tooShort : {stored.substr(0, 31), std::wstring()}) {
        std::wstring out = L"unchanged";
        EXPECT_FALSE(DecryptStringW(out, tooShort));
        EXPECT_EQ(L"unchanged", out);
        std::string bytes = "unchanged";
        EXPECT_FALSE(DecryptStringA(bytes, std::string(tooShort.begin(), tooShort.end())));
        EXPECT_EQ("unchanged", bytes);
    }
}

TEST(StringKey, NeverStandsWholeInThePlugIn) {
    const std::string image = TestSupport::ReadBytes(TestSupport::BinaryFolder() + L"Tavrel.dll");
    ASSERT_FALSE(image.empty());
    const StringKey key;
    EXPECT_EQ(std::string::npos,
              image.find(std::string(reinterpret_cast<const char*>(key.Bytes()), StringKey::kLength)));
}

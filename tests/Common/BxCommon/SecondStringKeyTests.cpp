// The string key comes from the build's key file. This program is built with
// a second one, second-string-key.bin (the bytes 10 to 1F), in place of the
// development key.
#include <gtest/gtest.h>

#include <string>

#include "Common/BxCommon/BxComn_StringCrypt.h"
#include "Common/BxCommon/BxComn_StringKey.h"

using namespace BxCommon::Cryptograph;

// "D:\Arcade" stored by `openssl enc -aes-128-cbc -iv 0` under the second key
// (under the development key it is 08A4EDF642182F5F8E39389AFC5E9CDE).
TEST(StringKeyFromTheBuild, ASecondKeyFileDecryptsItsOwnValues) {
    const StringKey key;
    for (DWORD i = 0; i < StringKey::kLength; ++i) EXPECT_EQ(0x10 + i, key.Bytes()[i]) << i;
    std::wstring text;
    EXPECT_TRUE(DecryptStringW(text, L"FA2A314A27BAFF5C7CB5917DA2837F05"));
    EXPECT_EQ(L"D:\\Arcade", text);
}

// The exception key as a damaged or tampered registry may leave it.
#include <gtest/gtest.h>

#include <random>

#include "Common/Source/ParentControlCommon.h"
#include "ExceptionFolders.h"
#include "FakeQuennet.h"
#include "ProductRegistry.h"

using namespace TestSupport;

// Ten thousand values, nearly all no stored folder at all, are each skipped:
// the one real folder halfway still decides, and every value is read for an
// application that none names.
TEST(ExceptionKeyJunk, TenThousandJunkEntriesAroundTheRealOneAreEachSkipped) {
    FakeQuennet::Reset(0x1234, 5);
    ProductPathScope product(std::wstring(L"C:\\Program Files\\Brennix\\Suite"));
    ExceptionFoldersScope key;
    std::mt19937 random(20261207);
    const auto digits = [&](size_t count) {
        std::wstring text;
        while (text.size() < count) text += L"0123456789ABCDEF"[random() % 16];
        return text;
    };
    key.AddString(L"A long odd run", digits(100001));
    const char unterminated[] = {'4', '\0', '1'};  // an odd byte count
    key.AddRaw(L"A string cut short", REG_SZ, unterminated, sizeof unterminated);
    const std::wstring list = digits(32) + L'\0' + digits(32) + L'\0' + L'\0';
    key.AddRaw(L"A string list", REG_MULTI_SZ, list.c_str(), static_cast<DWORD>(list.size() * sizeof(wchar_t)));
    for (int index = 3; index < 10000; ++index) {
        const std::wstring name = L"Entry" + std::to_wstring(10000 + index);
        std::wstring text[] = {L"not hexadecimal at all", digits(1 + 2 * (index % 40)), L"", digits(32)};
        text[3][index % 32] = L'G';  // a block's worth of digits, one not a digit
        if (index == 5000) {
            key.AddFolder(name, L"D:\\Games");
        } else if (index % 6 < 4) {
            key.AddString(name, text[index % 6]);
        } else {  // a number, or raw bytes
            key.AddRaw(name, index % 6 == 4 ? REG_DWORD : REG_BINARY, text[3].c_str(), index % 6 == 4 ? 4 : 16);
        }
    }

    ParentControl::FilterReport games, chess;
    EXPECT_TRUE(CParentControlCommon::IsFilteredApp(L"D:\\Games\\Solitaire\\sol.exe", games));
    ASSERT_EQ(ParentControl::FilterRule::kExceptionFolder, games.decidedBy);
    EXPECT_EQ(L"Entry15000", games.exceptions.back().valueName);
    EXPECT_FALSE(CParentControlCommon::IsFilteredApp(L"D:\\Apps\\Chess\\chess.exe", chess));
    EXPECT_EQ(0u, chess.exceptionKeyError);
    EXPECT_EQ(10000u, chess.exceptions.size());
}

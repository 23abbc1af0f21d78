// Which executables the application list leaves out, with the real registry
// holding the installation folder and the encrypted exception folders, also
// as a damaged or tampered registry may leave them.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "Common/Source/ParentControlCommon.h"
#include "ExceptionFolders.h"
#include "FakeQuennet.h"
#include "ProductRegistry.h"

using namespace TestSupport;
using ParentControl::ExceptionOutcome;
using ParentControl::FilterRule;

namespace {

class ExceptionFilter : public ::testing::Test {
protected:
    // Logging on, so that the filter's own lines are built too.
    void SetUp() override { FakeQuennet::Reset(0x1234, 2); }

    ExceptionFoldersScope exceptions_;
};

// Folders match anywhere in the path (a substring, not a folder prefix),
// letters compared without case, references not expanded. The product rule
// takes the folder that holds the installation folder; without one it takes
// every path, and one beyond MAX_PATH is no folder we could have installed to.
TEST_F(ExceptionFilter, WindowsAndProductFoldersMatchAnywhereInThePath) {
    const std::optional<std::wstring> suite = L"C:\\Program Files\\Brennix\\Suite";
    const struct {
        const char* name;
        std::optional<std::wstring> product;
        const wchar_t* path;
        FilterRule decidedBy;
    } cases[] = {
        {"Windows folder in other case", suite, L"C:\\WINDOWS\\system32\\calc.exe", FilterRule::kWindowsFolder},
        {"Windows folder further in, as a prefix", suite, L"D:\\c:\\windowsApps\\x.exe", FilterRule::kWindowsFolder},
        {"a reference is not expanded", suite, L"%windir%\\system32\\calc.exe", FilterRule::kNone},
        {"in the installation folder", suite, L"C:\\Program Files\\Brennix\\Suite\\console.exe",
         FilterRule::kProductFolder},
        {"beside it, in other case", suite, L"C:\\PROGRAM FILES\\BRENNIX\\Other\\tool.exe", FilterRule::kProductFolder},
        {"its parent as a prefix", suite, L"C:\\Program Files\\Brennix Tools\\x.exe", FilterRule::kProductFolder},
        {"elsewhere", suite, L"C:\\Program Files\\Other\\x.exe", FilterRule::kNone},
        {"trailing separator", L"C:\\Program Files\\Brennix\\Suite\\", L"C:\\Program Files\\Brennix\\x.exe",
         FilterRule::kProductFolder},
        {"trailing separator, elsewhere", L"C:\\Program Files\\Brennix\\Suite\\", L"C:\\Program Files\\x.exe",
         FilterRule::kNone},
        {"below the root: all of drive C", L"C:\\Suite", L"C:\\Apps\\Chess\\Chess.exe", FilterRule::kProductFolder},
        {"below the root, drive D", L"C:\\Suite", L"D:\\Apps\\Chess\\Chess.exe", FilterRule::kNone},
        {"no installation folder", std::nullopt, L"D:\\Apps\\Chess\\Chess.exe", FilterRule::kProductFolder},
        {"an empty one", L"", L"D:\\Apps\\Chess\\Chess.exe", FilterRule::kProductFolder},
        {"one beyond MAX_PATH", L"C:\\" + std::wstring(300, L'p') + L"\\Suite", L"D:\\Apps\\Chess\\Chess.exe",
         FilterRule::kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProductPathScope product(c.product);
        ParentControl::FilterReport report;
        EXPECT_EQ(c.decidedBy != FilterRule::kNone, CParentControlCommon::IsFilteredApp(c.path, report));
        EXPECT_EQ(c.decidedBy, report.decidedBy);
        if (c.decidedBy == FilterRule::kWindowsFolder) continue;
        EXPECT_EQ(c.product.value_or(L""), report.installedFolder);
    }
}

// Entries that are no folder are skipped and the ones after them still
// count: an empty value, text that does not decrypt, a value that is not a
// string, an empty folder (in every path), and text with bytes after a zero
// byte (of a corrupt or foreign entry: its "\" would be in every path). Zero
// bytes that only fill the end are padding. Written by OpenSSL, not by this
// code (`openssl enc -aes-128-cbc -K 4b3cc97454ff199366599fdddee989da -iv 0`,
// with -nopad for the two whole blocks): "\" 00 "corrupt block!", "D:\Zeros"
// with eight zero bytes, and "D:\Arcade".
TEST_F(ExceptionFilter, EntriesThatAreNoFolderAreSkippedAndTheOthersStillCount) {
    ProductPathScope product(std::wstring(L"C:\\Program Files\\Brennix\\Suite"));
    std::vector<std::wstring> list = {L"kept"};
    EXPECT_EQ(0, CParentControlCommon::GetAppExceptionList(kAppCtrlExceptFolderListKey, list));  // no key
    EXPECT_EQ(1u, list.size());
    exceptions_.AddString(L"A", L"");
    exceptions_.AddString(L"B", L"not hex and too short");
    const DWORD number = 7;
    exceptions_.AddRaw(L"C", REG_DWORD, &number, sizeof number);
    exceptions_.AddFolder(L"D", L"");
    exceptions_.AddString(L"E", L"E3EEEE04675D87BB209B917175C32951");
    exceptions_.AddFolder(L"F", L"D:\\Music");
    exceptions_.AddFolder(L"G", L"D:\\Games");
    exceptions_.AddString(L"H", L"9084F00A8113CC8CEA80D40D471EFB92");
    exceptions_.AddString(L"I", L"08A4EDF642182F5F8E39389AFC5E9CDE");
    EXPECT_EQ(7, CParentControlCommon::GetAppExceptionList(kAppCtrlExceptFolderListKey, list));
    EXPECT_EQ(8u, list.size());
    for (const auto& [path, filtered] : {std::pair{L"E:\\Apps\\x.exe", false},
                                         {L"D:\\GAMES\\Solitaire\\sol.exe", true},
                                         {L"D:\\Zeros\\x.exe", true},
                                         {L"D:\\Arcade\\pinball.exe", true}}) {
        EXPECT_EQ(filtered, CParentControlCommon::IsFilteredApp(path)) << path;
    }
    // The report that tools explain verdicts with: how each entry fared, up
    // to the one that decided.
    ParentControl::FilterReport report;
    EXPECT_TRUE(CParentControlCommon::IsFilteredApp(L"D:\\Games\\x.exe", report));
    EXPECT_EQ(FilterRule::kExceptionFolder, report.decidedBy);
    const std::vector<ExceptionOutcome> outcomes = {ExceptionOutcome::kEmptyValue,    ExceptionOutcome::kUndecryptable,
                                                    ExceptionOutcome::kUnreadable,    ExceptionOutcome::kEmptyFolder,
                                                    ExceptionOutcome::kUndecryptable, ExceptionOutcome::kNotInPath,
                                                    ExceptionOutcome::kInPath};
    ASSERT_EQ(outcomes.size(), report.exceptions.size());
    for (size_t i = 0; i < outcomes.size(); ++i) {
        EXPECT_EQ(outcomes[i], report.exceptions[i].outcome) << i;
        EXPECT_EQ(std::wstring(1, static_cast<wchar_t>(L'A' + i)), report.exceptions[i].valueName);
    }
    EXPECT_EQ(DWORD{ERROR_INVALID_DATA}, report.exceptions[2].readError);
    EXPECT_EQ(L"d:\\music", report.exceptions[5].folder);
}

// Ten thousand values, all but one no stored folder (text that is no hex or
// not whole blocks, empty, a block with a non-digit, numbers, raw bytes), are
// each skipped: the real folder halfway still decides. The fault case's name.
using ExceptionKeyJunk = ExceptionFilter;
TEST_F(ExceptionKeyJunk, TenThousandJunkEntriesAroundTheRealOneAreEachSkipped) {
    FakeQuennet::Reset(0x1234, 5);
    ProductPathScope product(std::wstring(L"C:\\Program Files\\Brennix\\Suite"));
    std::mt19937 random(20261207);
    const auto digits = [&](size_t count) {
        std::wstring text;
        while (text.size() < count) text += L"0123456789ABCDEF"[random() % 16];
        return text;
    };
    for (int index = 0; index < 10000; ++index) {
        const std::wstring name = L"Entry" + std::to_wstring(10000 + index);
        std::wstring text[] = {L"not hexadecimal at all", digits(1 + 2 * (index % 40)), L"", digits(32)};
        text[3][index % 32] = L'G';  // a block's worth of digits, one not a digit
        if (index == 5000) {
            exceptions_.AddFolder(name, L"D:\\Games");
        } else if (index % 6 < 4) {
            exceptions_.AddString(name, text[index % 6]);
        } else {
            exceptions_.AddRaw(name, index % 6 == 4 ? REG_DWORD : REG_BINARY, text[3].c_str(), index % 6 == 4 ? 4 : 16);
        }
    }
    ParentControl::FilterReport report;
    EXPECT_TRUE(CParentControlCommon::IsFilteredApp(L"D:\\Games\\Solitaire\\sol.exe", report));
    ASSERT_EQ(5001u, report.exceptions.size());
    EXPECT_EQ(L"Entry15000", report.exceptions.back().valueName);
}

}  // namespace

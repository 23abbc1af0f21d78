#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "Tavrel/StartMenu/ExpandPathVariables.h"

using Tavrel::StartMenu::ExpandPathVariables;
using TestSupport::EnvironmentVariable;

TEST(ExpandPathVariables, ReplacesEveryPairInTurnAndDropsUnknownOrEmptyOnes) {
    EnvironmentVariable apps(L"TAVREL_APPS", L"C:\\Apps");
    EXPECT_EQ(L"C:\\Apps\\x.exe", ExpandPathVariables(L"%TAVREL_APPS%\\x.exe"));
    EXPECT_EQ(L"C:\\Apps\\a;C:\\Apps\\b", ExpandPathVariables(L"%TAVREL_APPS%\\a;%tavrel_apps%\\b"));
    EXPECT_EQ(L"\\x.exe", ExpandPathVariables(L"%TAVREL_NO_SUCH_VARIABLE%\\x.exe"));
    EXPECT_EQ(L"ab", ExpandPathVariables(L"a%%b"));
    EXPECT_EQ(L"50% off", ExpandPathVariables(L"50% off")) << "a single % is kept";
    EXPECT_EQ(L"", ExpandPathVariables(L""));
    // A value's own references are expanded in turn.
    EnvironmentVariable inner(L"TAVREL_INNER", L"Games");
    EnvironmentVariable outer(L"TAVREL_OUTER", L"D:\\%TAVREL_INNER%");
    EXPECT_EQ(L"D:\\Games\\x.exe", ExpandPathVariables(L"%TAVREL_OUTER%\\x.exe"));
}

TEST(ExpandPathVariables, SelfReferenceEndsAfterTheBoundWithTheRestKept) {
    EnvironmentVariable loop(L"TAVREL_LOOP", L"%TAVREL_LOOP%x");
    EXPECT_EQ(L"%TAVREL_LOOP%" + std::wstring(Tavrel::StartMenu::kMaxPathSubstitutions, L'x') + L"\\y.exe",
              ExpandPathVariables(L"%TAVREL_LOOP%\\y.exe"));
    EnvironmentVariable a(L"TAVREL_A", L"%TAVREL_B%");
    EnvironmentVariable b(L"TAVREL_B", L"%TAVREL_A%");
    EXPECT_EQ(L"%TAVREL_A%", ExpandPathVariables(L"%TAVREL_A%"));
}

TEST(ExpandPathVariables, ValuesThatDoNotFitMaxPathAreDropped) {
    EnvironmentVariable fits(L"TAVREL_FITS", std::wstring(259, L'f').c_str());
    EnvironmentVariable tooLong(L"TAVREL_TOO_LONG", std::wstring(260, L'l').c_str());
    EXPECT_EQ(std::wstring(259, L'f'), ExpandPathVariables(L"%TAVREL_FITS%"));
    EXPECT_EQ(L"[]", ExpandPathVariables(L"[%TAVREL_TOO_LONG%]"));
}

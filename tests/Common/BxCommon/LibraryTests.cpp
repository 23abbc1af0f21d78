// Libraries loaded by name: lookups and what a missing one leaves.
#include <gtest/gtest.h>

#include "Common/BxCommon/BxComn_Library.h"

using namespace BxCommon::Library;

// What a lookup in this program (the host, as the library sees it) finds.
extern "C" __declspec(dllexport) void LibraryTestsExport() {}

// Without a module GetProcAddress would search this program instead.
TEST(LibraryBase, FindsFunctionsByNameAndNothingWithoutALibrary) {
    Base kernel(L"kernel32.dll"), missing(L"C:\\no\\such\\library.dll");
    EXPECT_NE(nullptr, kernel.GetFunction(L"GetNativeSystemInfo"));
    EXPECT_EQ(nullptr, kernel.GetFunction(L"NoSuchFunctionAnywhere"));
    EXPECT_EQ(nullptr, missing.GetHandle());
    ASSERT_NE(nullptr, GetProcAddress(nullptr, "LibraryTestsExport"));
    SetLastError(0);
    EXPECT_EQ(nullptr, missing.GetFunction(L"LibraryTestsExport"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

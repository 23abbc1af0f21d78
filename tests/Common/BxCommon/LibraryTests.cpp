// Libraries loaded by name: lookups, what a missing one leaves, references.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "Common/BxCommon/BxComn_BxDbg.h"

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

// The debug log's wrapper frees its own reference, exactly one, when destroyed.
TEST(BxDbgWrapper, FreesItsOneReference) {
    const std::wstring recorder = TestSupport::BinaryFolder() + L"BxDbgRecorder.dll";
    HMODULE ours = LoadLibraryW(recorder.c_str());
    {
        BxDbg wrapper(recorder.c_str());
        ASSERT_TRUE(wrapper.BindFunctions(true, nullptr));
    }
    EXPECT_NE(nullptr, GetModuleHandleW(L"BxDbgRecorder.dll"));
    FreeLibrary(ours);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"BxDbgRecorder.dll"));
}

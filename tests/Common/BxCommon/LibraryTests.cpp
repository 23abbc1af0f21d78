#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "Common/BxCommon/BxComn_BxDbg.h"

using namespace BxCommon::Library;
using TestSupport::BinaryFolder;

namespace {

const std::wstring kRecorder = L"BxDbgRecorder.dll";

bool Loaded(const std::wstring& name) { return GetModuleHandleW(name.c_str()) != nullptr; }

}  // namespace

// What a lookup in this program (the host, as the library sees it) finds.
extern "C" __declspec(dllexport) void LibraryTestsExport() {}

TEST(LibraryBase, ALibraryThatCannotBeLoadedLeavesANullHandle) {
    Base library(L"C:\\no\\such\\library.dll");
    EXPECT_EQ(nullptr, library.GetHandle());
    Base nothing;
    EXPECT_EQ(nullptr, nothing.GetHandle());
    ASSERT_NE(nullptr, GetProcAddress(nullptr, "LibraryTestsExport"));
    // Without a module, GetProcAddress would search this program instead.
    for (Base* empty : {&library, &nothing}) {
        SetLastError(0);
        EXPECT_EQ(nullptr, empty->GetFunction(L"LibraryTestsExport"));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    }
}

TEST(LibraryBase, FunctionsAreFoundByNameAndTheLibraryIsFreedWithTheObject) {
    {
        Base kernel(L"kernel32.dll");
        ASSERT_NE(nullptr, kernel.GetHandle());
        EXPECT_NE(nullptr, kernel.GetFunction(L"GetNativeSystemInfo"));
        EXPECT_EQ(nullptr, kernel.GetFunction(L"NoSuchFunctionAnywhere"));
        EXPECT_EQ(nullptr, kernel.GetFunction(nullptr));
    }
    {
        Base recorder((BinaryFolder() + kRecorder).c_str());
        EXPECT_TRUE(Loaded(kRecorder));
    }
    EXPECT_FALSE(Loaded(kRecorder));
}

TEST(BxDbgWrapper, BindingNeedsALoadedLibrary) {
    BxDbg unloaded;
    DWORD error = 0;
    EXPECT_FALSE(unloaded.BindFunctions(true, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), error);
}

TEST(BxDbgWrapper, AMissingFunctionFailsTheBindButKeepsTheOthers) {
    BxDbg partial((BinaryFolder() + L"BxDbgPartial.dll").c_str());
    DWORD error = 0;
    EXPECT_FALSE(partial.BindFunctions(true, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), error);
    EXPECT_EQ(nullptr, partial.Initialize());
    EXPECT_NE(nullptr, partial.Uninitialize());
    EXPECT_NE(nullptr, partial.Trace());
    EXPECT_FALSE(partial.IsBound());
}

TEST(BxDbgWrapper, UnbindingClearsEveryAddress) {
    BxDbg wrapper((BinaryFolder() + kRecorder).c_str());
    ASSERT_TRUE(wrapper.BindFunctions(true, nullptr));
    EXPECT_TRUE(wrapper.BindFunctions(false, nullptr));
    EXPECT_EQ(nullptr, wrapper.Initialize());
    EXPECT_EQ(nullptr, wrapper.Uninitialize());
    EXPECT_EQ(nullptr, wrapper.Trace());
}

TEST(BxDbgWrapper, DestroyingABoundWrapperFreesTheLibraryOnce) {
    // One reference of our own: the wrapper's destruction must drop exactly one.
    HMODULE ours = LoadLibraryW((BinaryFolder() + kRecorder).c_str());
    ASSERT_NE(nullptr, ours);
    {
        BxDbg wrapper((BinaryFolder() + kRecorder).c_str());
        ASSERT_TRUE(wrapper.BindFunctions(true, nullptr));
    }
    EXPECT_TRUE(Loaded(kRecorder));
    FreeLibrary(ours);
    EXPECT_FALSE(Loaded(kRecorder));
}

// Starting the service (the folder, the one-per-process rule, failures,
// unloading) and bad arguments.
#include <atomic>
#include <thread>

#include "QuennetFixture.h"

namespace QuennetTests {
namespace {

using QuennetServer = QuennetFixture;

TEST_F(QuennetServer, StartsOnceOnTheNormalisedFolderAndUnloadClosesItsFiles) {
    // As the plug-in passes it, <install folder>\..\VESK\ (relative here), with nothing existing yet.
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.Path().c_str()));
    std::atomic<int> started{0}, running{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 8; ++t) {
        callers.emplace_back([&] {
            const int32_t status = construct(L"Prog\\Suite\\..\\VESK\\");
            started += status == 0;
            running += status == 1;
        });
    }
    for (std::thread& caller : callers) caller.join();
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(running, 7);
    const QuennetHandle handle = defaultHandle();
    EXPECT_NE(handle, nullptr);
    // Later calls change nothing, whatever the argument.
    EXPECT_EQ(construct((temp / L"second").c_str()), 1);
    EXPECT_EQ(construct(nullptr), 1);
    EXPECT_EQ(defaultHandle(), handle);
    EXPECT_FALSE(TestSupport::FileExists(temp / L"second"));
    ASSERT_EQ(Write(L"Tavrel", L"x"), 0);
    EXPECT_FALSE(TestSupport::FileExists(temp / L"Prog\\Suite"));
    const std::wstring log = temp / L"Prog\\VESK\\Tavrel.log";
    auto openExclusively = [&] {
        HANDLE file = CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        return file != INVALID_HANDLE_VALUE && CloseHandle(file);
    };
    EXPECT_EQ(Lines(log).size(), 1u);
    EXPECT_FALSE(openExclusively());  // held by the service
    Unload();
    EXPECT_TRUE(openExclusively());
}

TEST_F(QuennetServer, FailuresLeaveNoServiceAndBadArgumentsAreRefused) {
    EXPECT_EQ(defaultHandle(), nullptr);
    EXPECT_LT(Write(L"Tavrel", L"x"), 0);
    // A file where the folder or a parent should be, characters file names cannot hold, nothing.
    ASSERT_TRUE(TestSupport::WriteUtf8File(temp / L"file", L"not a folder"));
    for (const std::wstring& folder :
         {temp / L"file\\logs", temp / L"file", temp / L"bad<name>", temp / L"a|b\\c", temp / L"x:y", std::wstring()}) {
        EXPECT_LT(construct(folder.c_str()), 0) << folder;
        EXPECT_EQ(defaultHandle(), nullptr);
    }
    EXPECT_LT(construct(nullptr), 0);
    EXPECT_EQ(FileNames(temp.Path()), std::vector<std::wstring>{L"file"});
    // A failure does not count as the one start.
    const QuennetHandle handle = Start(temp / L"good");
    EXPECT_NE(handle, nullptr);
    // Bad arguments, and handles other than the service's, which are never dereferenced.
    EXPECT_LT(Write(nullptr, L"x"), 0);
    EXPECT_LT(Write(L"", L"x"), 0);
    EXPECT_LT(flush(handle, L"Tavrel", 2, L"test.cpp", 1, nullptr, 2), 0);
    EXPECT_EQ(logLevel(handle, nullptr), 0u);
    int notAService = 5;
    for (QuennetHandle other : {QuennetHandle{}, reinterpret_cast<QuennetHandle>(1),
                                reinterpret_cast<QuennetHandle>(~uintptr_t{0}), QuennetHandle{&notAService}}) {
        EXPECT_EQ(logLevel(other, L"Tavrel"), 0u);
        EXPECT_LT(flush(other, L"Tavrel", 2, L"test.cpp", 1, L"x", 2), 0);
    }
    EXPECT_TRUE(FileNames(temp / L"good").empty());
}

}  // namespace
}  // namespace QuennetTests

// Starting the service: the folder, the one-per-process rule, failures and
// unloading.
#include "QuennetFixture.h"

#include "TextFile.h"

namespace QuennetTests {
namespace {

using TestSupport::FileExists;
using QuennetServer = QuennetFixture;

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TEST_F(QuennetServer, NormalisesThenCreatesTheFolderWithItsParents) {
    // As the plug-in passes it, <install folder>\..\VESK\, with nothing existing yet.
    QuennetHandle handle = Start(temp.Path() + L"\\Prog\\Suite\\..\\VESK\\");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(defaultHandle(), handle);
    EXPECT_TRUE(IsFolder(temp / L"Prog\\VESK"));
    EXPECT_FALSE(FileExists(temp / L"Prog\\Suite"));
    EXPECT_EQ(Write(L"Tavrel", L"x"), 0);
    EXPECT_EQ(Lines(temp / L"Prog\\VESK\\Tavrel.log").size(), 1u);
}

TEST_F(QuennetServer, RelativeFolderResolvesAgainstTheCurrentDirectory) {
    TestSupport::CreateFolders(temp / L"Suite");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW((temp / L"Suite").c_str()));
    int32_t status = construct(L"..\\VESK\\");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Write(L"Tavrel", L"x"), 0);
    EXPECT_TRUE(FileExists(temp / L"VESK\\Tavrel.log"));
}

TEST_F(QuennetServer, SecondConstructionReturnsOneAndChangesNothing) {
    QuennetHandle handle = Start(temp / L"first");
    EXPECT_EQ(construct((temp / L"second").c_str()), 1);
    EXPECT_EQ(construct(nullptr), 1);
    EXPECT_EQ(defaultHandle(), handle);
    EXPECT_FALSE(FileExists(temp / L"second"));
    EXPECT_EQ(Write(L"Tavrel", L"x"), 0);
    EXPECT_TRUE(FileExists(temp / L"first\\Tavrel.log"));
}

TEST_F(QuennetServer, NoHandleBeforeOrAfterAFailedConstruction) {
    EXPECT_EQ(defaultHandle(), nullptr);
    EXPECT_EQ(logLevel(nullptr, L"Tavrel"), 0u);
    EXPECT_LT(flush(nullptr, L"Tavrel", 5, L"test.cpp", 1, L"x", 2), 0);

    ASSERT_TRUE(TestSupport::WriteUtf8File(temp / L"file", L"not a folder"));
    EXPECT_LT(construct((temp / L"file\\logs").c_str()), 0);  // parent is a file
    EXPECT_LT(construct((temp / L"file").c_str()), 0);
    EXPECT_LT(construct((temp / L"bad<name>").c_str()), 0);
    EXPECT_LT(construct((temp / L"a|b\\c").c_str()), 0);
    EXPECT_LT(construct((temp / L"x:y").c_str()), 0);
    EXPECT_LT(construct(L""), 0);
    EXPECT_LT(construct(nullptr), 0);
    EXPECT_EQ(defaultHandle(), nullptr);
    EXPECT_EQ(FileNames(temp.Path()), std::vector<std::wstring>{L"file"});

    // A failure does not count as the one start.
    EXPECT_NE(Start(temp / L"good"), nullptr);
}

TEST_F(QuennetServer, UnloadClosesTheFilesAndAReloadAppends) {
    std::wstring log = temp / L"Tavrel.log";
    auto openExclusively = [&] {
        HANDLE file = CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        return file != INVALID_HANDLE_VALUE;
    };
    Start(temp.Path());
    ASSERT_EQ(Write(L"Tavrel", L"one"), 0);
    EXPECT_FALSE(openExclusively());
    EXPECT_EQ(Lines(log).size(), 1u);  // readable while open

    Unload();
    EXPECT_TRUE(openExclusively());

    Load();
    EXPECT_EQ(defaultHandle(), nullptr);
    Start(temp.Path());
    ASSERT_EQ(Write(L"Tavrel", L"two"), 0);
    std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(": one\r\n"), std::string::npos);
    EXPECT_NE(lines[1].find(": two\r\n"), std::string::npos);
}

}  // namespace
}  // namespace QuennetTests

// Hostile sizes and names, a key deleted under an open object, and memory
// that must come back on every failing path.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"
#include "RegistryTestSupport.h"

using BxCommon::Storage::ByteBuffer;
using BxCommon::Storage::kView64;
using BxCommon::Storage::Registry;
using BxCommon::Storage::RegException;
using namespace RegistryTesting;

namespace {

class RegistryBadInput : public RegistryTestBase {
protected:
    void SetUp() override { ASSERT_TRUE(storage_.Create(testKey_.AsKey(), L"")); }
    Registry storage_{kView64};
};

TEST_F(RegistryBadInput, MebibyteStringsRoundTrip) {
    // 512 Ki characters: 1 MiB of text, with and without a terminator.
    std::wstring text(512 * 1024, L'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<wchar_t>(L'A' + i % 26);
    ASSERT_TRUE(storage_.SetStringValue(L"big", text));
    EXPECT_EQ((text.size() + 1) * sizeof(wchar_t), testKey_.GetRaw(L"big").data.size());
    EXPECT_EQ(text, storage_.GetStringValue(L"big", L""));

    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRawString(L"bigUnterminated", REG_SZ, text, false));
    EXPECT_EQ(text, storage_.GetStringValue(L"bigUnterminated", L""));
}

TEST_F(RegistryBadInput, LongestValueNameWorksAndALongerOneIsRefused) {
    const std::wstring longest(16383, L'n');
    ASSERT_TRUE(storage_.SetDwordValue(longest, 42));
    EXPECT_EQ(42u, storage_.GetDwordValue(longest));
    EXPECT_EQ(L"", storage_.GetStringValue(longest, L"", nullptr));

    // One character more: the registry refuses the name.
    const std::wstring tooLong(16384, L'n');
    auto raised = Raised([&] { storage_.SetStringValue(tooLong, L"x"); });
    ASSERT_NE(nullptr, raised);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), raised->GetErrorCode());
    auto* valueError = dynamic_cast<RegException*>(raised.get());
    ASSERT_NE(nullptr, valueError);
    EXPECT_EQ(tooLong, valueError->GetValueName());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), CodeOf([&] { storage_.GetStringValue(tooLong, L""); }));
}

TEST_F(RegistryBadInput, LongestValueNameStopsAnEnumeration) {
    const std::wstring longest(16383, L'n');
    ASSERT_TRUE(storage_.SetDwordValue(longest, 1));
    Registry lister(kView64);
    ASSERT_TRUE(lister.OpenForEnum(testKey_.AsKey(), L""));
    std::vector<std::wstring> names;
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), CodeOf([&] { lister.EnumValueNames(names); }));
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryBadInput, KeyDeletedUnderAnOpenObject) {
    Registry victim(kView64);
    ASSERT_TRUE(victim.Create(testKey_.AsKey(), L"Victim"));
    ASSERT_TRUE(victim.SetDwordValue(L"v", 1));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(testKey_.Root(), (testKey_ / L"Victim").c_str()));

    const DWORD deleted = ERROR_KEY_DELETED;
    ByteBuffer buffer;
    std::vector<std::wstring> names;
    EXPECT_EQ(deleted, CodeOf([&] { victim.GetDwordValue(L"v"); }));
    EXPECT_EQ(deleted, CodeOf([&] { victim.GetStringValue(L"v", L""); }));
    EXPECT_EQ(deleted, CodeOf([&] { victim.GetBinaryValue(L"v", buffer); }));
    EXPECT_EQ(deleted, CodeOf([&] { victim.SetStringValue(L"v", L"again"); }));
    EXPECT_EQ(deleted, CodeOf([&] { victim.DeleteValue(L"v"); }));
    EXPECT_EQ(deleted, CodeOf([&] { victim.EnumValueNames(names); }));
    EXPECT_EQ(deleted, CodeOf([&] { victim.Flush(); }));
    DWORD error = 0;
    EXPECT_EQ(9u, victim.GetDwordValue(L"v", 9, &error));
    EXPECT_EQ(deleted, error);
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(victim.Close(false));
    EXPECT_FALSE(testKey_.Exists(L"Victim"));
}

// Reads that fail after the storage allocated a block or an exception: run
// many and the process must not grow. A leak of the 4 KiB block alone would
// be 80 MB here.
TEST(RegistryMemory, FailingReadsFreeEveryBlock) {
    TestKey testKey;
    Registry storage(kView64);
    ASSERT_TRUE(storage.Create(testKey.AsKey(), L""));
    const std::vector<BYTE> blob(4096, 0x5A);
    ASSERT_EQ(ERROR_SUCCESS, testKey.SetRaw(L"blob", REG_BINARY, blob.data(), static_cast<DWORD>(blob.size())));
    const DWORD number = 7;
    ASSERT_EQ(ERROR_SUCCESS, testKey.SetRaw(L"number", REG_DWORD, &number, sizeof(number)));
    ByteBuffer filled;
    ASSERT_TRUE(filled.Allocate(1, nullptr));
    Registry closed(kView64);

    auto failingReads = [&](int count) {
        int failures = 0;
        for (int i = 0; i < count; ++i) {
            DWORD error = 0;
            storage.GetBinaryValue(L"blob", filled, &error);  // block read, then refused: 5010
            failures += error == ERROR_OBJECT_ALREADY_EXISTS;
            storage.GetStringValue(L"number", L"default text that is long enough to live on the heap", &error);
            failures += error == ERROR_INVALID_DATA;
            storage.GetQwordValue(L"missing", 0, &error);
            failures += error == ERROR_FILE_NOT_FOUND;
            closed.GetDwordValue(L"number", 0, &error);
            failures += error == ERROR_INVALID_HANDLE;
            failures += CodeOf([&] { storage.GetStringValue(L"blob", L""); }) == ERROR_INVALID_DATA;
        }
        return failures;
    };

    ASSERT_EQ(5 * 2000, failingReads(2000));  // the heap reaches its working size
    const SIZE_T before = PrivateBytes();
    ASSERT_NE(0u, before);
    ASSERT_EQ(5 * 20000, failingReads(20000));
    const SIZE_T after = PrivateBytes();
    EXPECT_LT(after, before + 4 * 1024 * 1024) << "private bytes grew from " << before << " to " << after;
}

}  // namespace

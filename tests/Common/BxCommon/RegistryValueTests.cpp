// Typed value reads and writes, their strictness, and the quiet forms.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
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

using Bytes = std::vector<BYTE>;

constexpr DWORD kInvalidData = ERROR_INVALID_DATA;
constexpr DWORD kMoreData = ERROR_MORE_DATA;
constexpr DWORD kNotFound = ERROR_FILE_NOT_FOUND;

// Opens the private key with Create, so values can be read and written.
class RegistryValueTest : public RegistryTestBase {
protected:
    void SetUp() override { ASSERT_TRUE(storage_.Create(testKey_.AsKey(), L"")); }
    void Put(const wchar_t* name, DWORD type, const Bytes& data) {
        ASSERT_EQ(ERROR_SUCCESS,
                  testKey_.SetRaw(name, type, data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size())));
    }
    // The value error thrown by call, checked for the key path and name.
    template <typename Call>
    DWORD ValueErrorOf(const std::wstring& name, Call&& call) {
        auto raised = Raised(call);
        if (!raised) return kNothingThrown;
        auto* valueError = dynamic_cast<RegException*>(raised.get());
        if (valueError == nullptr) {
            ADD_FAILURE() << "a plain storage exception, not a value exception";
            return raised->GetErrorCode();
        }
        EXPECT_EQ(storage_.GetPath(), valueError->GetKeyPath());
        EXPECT_EQ(name, valueError->GetValueName());
        EXPECT_NE(std::string::npos, valueError->GetFile().find("BxComn_Registry"));
        return raised->GetErrorCode();
    }
    Registry storage_{kView64};
};

class RegistryNumber : public RegistryValueTest {};
class RegistryString : public RegistryValueTest {};
class RegistryBinary : public RegistryValueTest {};
class RegistryQuiet : public RegistryValueTest {};

TEST_F(RegistryNumber, WritesAndReadsExactTypesAndSizes) {
    for (DWORD value : {DWORD{0}, DWORD{0x12345678}, DWORD{0xFFFFFFFF}}) {
        ASSERT_TRUE(storage_.SetDwordValue(L"d", value));
        EXPECT_EQ(value, storage_.GetDwordValue(L"d"));
    }
    for (ULONGLONG value : {ULONGLONG{0}, ULONGLONG{0x0123456789ABCDEF}, ~ULONGLONG{0}}) {
        ASSERT_TRUE(storage_.SetQwordValue(L"q", value));
        EXPECT_EQ(value, storage_.GetQwordValue(L"q"));
    }
    // Little-endian bytes of the last values written.
    const auto d = testKey_.GetRaw(L"d");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), d.type);
    EXPECT_EQ(Bytes({0xFF, 0xFF, 0xFF, 0xFF}), d.data);
    const auto q = testKey_.GetRaw(L"q");
    EXPECT_EQ(static_cast<DWORD>(REG_QWORD), q.type);
    EXPECT_EQ(Bytes(8, 0xFF), q.data);
}

TEST_F(RegistryNumber, DwordReadRefusesEveryOtherTypeAndSize) {
    const struct {
        const wchar_t* name;
        DWORD type;
        Bytes data;
        DWORD code;
    } cases[] = {
        {L"qword", REG_QWORD, Bytes(8, 1), kMoreData},  // does not fit the 4-byte variable
        {L"binary4", REG_BINARY, Bytes(4, 1), kInvalidData},
        {L"bigEndian", REG_DWORD_BIG_ENDIAN, Bytes(4, 1), kInvalidData},
        {L"short", REG_DWORD, Bytes(2, 1), kInvalidData},
        {L"empty", REG_DWORD, Bytes(), kInvalidData},
        {L"long", REG_DWORD, Bytes(5, 1), kMoreData},
        {L"sz1", REG_SZ, Bytes({'a', 0, 0, 0}), kInvalidData},
        {L"none", REG_NONE, Bytes(), kInvalidData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value type " << c.type << ", " << c.data.size() << " bytes");
        Put(c.name, c.type, c.data);
        EXPECT_EQ(c.code, ValueErrorOf(c.name, [&] { storage_.GetDwordValue(c.name); }));
    }
    EXPECT_EQ(kNotFound, ValueErrorOf(L"missing", [&] { storage_.GetDwordValue(L"missing"); }));
}

TEST_F(RegistryNumber, QwordReadRefusesEveryOtherTypeAndSize) {
    const struct {
        const wchar_t* name;
        DWORD type;
        Bytes data;
        DWORD code;
    } cases[] = {
        {L"dword", REG_DWORD, Bytes(4, 1), kInvalidData},  // type and size both differ
        {L"binary8", REG_BINARY, Bytes(8, 1), kInvalidData},
        {L"short", REG_QWORD, Bytes(4, 1), kInvalidData},
        {L"long", REG_QWORD, Bytes(12, 1), kMoreData},
        {L"sz3", REG_SZ, Bytes({'a', 0, 'b', 0, 'c', 0, 0, 0}), kInvalidData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value type " << c.type << ", " << c.data.size() << " bytes");
        Put(c.name, c.type, c.data);
        EXPECT_EQ(c.code, ValueErrorOf(c.name, [&] { storage_.GetQwordValue(c.name); }));
    }
    EXPECT_EQ(kNotFound, ValueErrorOf(L"missing", [&] { storage_.GetQwordValue(L"missing"); }));
}

TEST_F(RegistryString, ReadsEveryStringTypeAsStored) {
    // UTF-16LE bytes: 'a' 61 00, 'b' 62 00, 'c' 63 00, 'd' 64 00.
    const struct {
        const wchar_t* name;
        DWORD type;
        Bytes data;
        std::wstring expected;
    } cases[] = {
        {L"plain", REG_SZ, Bytes({0x61, 0, 0x62, 0, 0x63, 0, 0, 0}), L"abc"},
        {L"unterminated", REG_SZ, Bytes({0x61, 0, 0x62, 0, 0x63, 0}), L"abc"},
        // An odd count: the last byte becomes a character of its own.
        {L"oddCount", REG_SZ, Bytes({0x61, 0, 0x62, 0, 0x63, 0, 0x64}), L"abcd"},
        {L"terminatorOnly", REG_SZ, Bytes({0, 0}), L""},
        {L"noBytes", REG_SZ, Bytes(), L""},
        {L"multi", REG_MULTI_SZ, Bytes({0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}), L"a"},
        {L"embeddedZero", REG_SZ, Bytes({0x61, 0, 0, 0, 0x62, 0, 0, 0}), L"a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << std::string(c.name, c.name + wcslen(c.name)));
        Put(c.name, c.type, c.data);
        EXPECT_EQ(c.expected, storage_.GetStringValue(c.name, L"def"));
    }

    // Environment references stay as written.
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRawString(L"expand", REG_EXPAND_SZ, L"%SystemRoot%\\x"));
    EXPECT_EQ(L"%SystemRoot%\\x", storage_.GetStringValue(L"expand", L""));
}

TEST_F(RegistryString, OtherTypesAndMissingValuesThrow) {
    Put(L"dword", REG_DWORD, Bytes(4, 0));
    Put(L"qword", REG_QWORD, Bytes(8, 0));
    Put(L"binary", REG_BINARY, Bytes({0x61, 0, 0, 0}));
    Put(L"none", REG_NONE, Bytes());
    for (const wchar_t* name : {L"dword", L"qword", L"binary", L"none"}) {
        EXPECT_EQ(kInvalidData, ValueErrorOf(name, [&] { storage_.GetStringValue(name, L"def"); }));
    }
    EXPECT_EQ(kNotFound, ValueErrorOf(L"missing", [&] { storage_.GetStringValue(L"missing", L"def"); }));
}

TEST_F(RegistryString, WritesRegSzWithItsTerminatorAndZerosAfterAnEmbeddedZero) {
    ASSERT_TRUE(storage_.SetStringValue(L"text", L"ab"));
    auto raw = testKey_.GetRaw(L"text");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(Bytes({0x61, 0, 0x62, 0, 0, 0}), raw.data);

    ASSERT_TRUE(storage_.SetStringValue(L"empty", L""));
    raw = testKey_.GetRaw(L"empty");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(Bytes({0, 0}), raw.data);

    // "ab", zero, "cd": six characters with the terminator, all written.
    ASSERT_TRUE(storage_.SetStringValue(L"embedded", std::wstring(L"ab\0cd", 5)));
    raw = testKey_.GetRaw(L"embedded");
    EXPECT_EQ(Bytes({0x61, 0, 0x62, 0, 0, 0, 0, 0, 0, 0, 0, 0}), raw.data);
    EXPECT_EQ(L"ab", storage_.GetStringValue(L"embedded", L""));

    // Text with environment references is still REG_SZ.
    ASSERT_TRUE(storage_.SetStringValue(L"path", L"%TEMP%"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), testKey_.GetRaw(L"path").type);
}

TEST_F(RegistryBinary, ReadsIntoAnEmptyBuffer) {
    Bytes data;
    for (BYTE i = 0; i < 16; ++i) data.push_back(static_cast<BYTE>(0xF0 ^ i));
    Put(L"blob", REG_BINARY, data);
    ByteBuffer buffer;
    EXPECT_TRUE(storage_.GetBinaryValue(L"blob", buffer));
    ASSERT_EQ(16u, buffer.GetSize());
    EXPECT_EQ(data, Bytes(buffer.GetData(), buffer.GetData() + 16));
}

TEST_F(RegistryBinary, ZeroLengthValueLeavesTheBufferEmpty) {
    Put(L"blob", REG_BINARY, Bytes());
    ByteBuffer buffer;
    EXPECT_TRUE(storage_.GetBinaryValue(L"blob", buffer));
    EXPECT_TRUE(buffer.IsEmpty());
}

TEST_F(RegistryBinary, FilledBufferIsRefusedAndKeptAsItWas) {
    Put(L"blob", REG_BINARY, Bytes(16, 0xAB));
    ByteBuffer buffer;
    ASSERT_TRUE(buffer.Allocate(4, nullptr));
    std::memcpy(buffer.GetData(), "\x01\x02\x03\x04", 4);
    const BYTE* block = buffer.GetData();

    EXPECT_EQ(static_cast<DWORD>(ERROR_OBJECT_ALREADY_EXISTS),
              ValueErrorOf(L"blob", [&] { storage_.GetBinaryValue(L"blob", buffer); }));
    EXPECT_EQ(block, buffer.GetData());
    ASSERT_EQ(4u, buffer.GetSize());
    EXPECT_EQ(Bytes({1, 2, 3, 4}), Bytes(buffer.GetData(), buffer.GetData() + 4));
}

TEST_F(RegistryBinary, OtherTypesAndMissingValuesThrowAndLeaveTheBufferEmpty) {
    Put(L"dword", REG_DWORD, Bytes(4, 0));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRawString(L"sz", REG_SZ, L"text"));
    ByteBuffer buffer;
    EXPECT_EQ(kInvalidData, ValueErrorOf(L"dword", [&] { storage_.GetBinaryValue(L"dword", buffer); }));
    EXPECT_EQ(kInvalidData, ValueErrorOf(L"sz", [&] { storage_.GetBinaryValue(L"sz", buffer); }));
    EXPECT_EQ(kNotFound, ValueErrorOf(L"missing", [&] { storage_.GetBinaryValue(L"missing", buffer); }));
    EXPECT_TRUE(buffer.IsEmpty());
}

TEST_F(RegistryBinary, WritesTheBufferOrNothingForAnEmptyOne) {
    ByteBuffer buffer;
    ASSERT_TRUE(buffer.Allocate(3, nullptr));
    std::memcpy(buffer.GetData(), "\x00\xFF\x7F", 3);
    ASSERT_TRUE(storage_.SetBinaryValue(L"blob", buffer));
    auto raw = testKey_.GetRaw(L"blob");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), raw.type);
    EXPECT_EQ(Bytes({0x00, 0xFF, 0x7F}), raw.data);

    ASSERT_TRUE(storage_.SetBinaryValue(L"empty", ByteBuffer()));
    raw = testKey_.GetRaw(L"empty");
    EXPECT_EQ(ERROR_SUCCESS, raw.result);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), raw.type);
    EXPECT_TRUE(raw.data.empty());
}

TEST_F(RegistryQuiet, FailureGivesTheDefaultAndTheCode) {
    Put(L"dword", REG_DWORD, Bytes(4, 0));
    ByteBuffer buffer;
    DWORD error = 0;
    EXPECT_EQ(L"def", storage_.GetStringValue(L"missing", L"def", &error));
    EXPECT_EQ(kNotFound, error);
    error = 0;
    EXPECT_EQ(L"def", storage_.GetStringValue(L"dword", L"def", &error));
    EXPECT_EQ(kInvalidData, error);
    error = 0;
    EXPECT_EQ(17u, storage_.GetDwordValue(L"missing", 17, &error));
    EXPECT_EQ(kNotFound, error);
    error = 0;
    EXPECT_EQ(18u, storage_.GetQwordValue(L"dword", 18, &error));
    EXPECT_EQ(kInvalidData, error);
    error = 0;
    EXPECT_FALSE(storage_.GetBinaryValue(L"dword", buffer, &error));
    EXPECT_EQ(kInvalidData, error);
    EXPECT_TRUE(buffer.IsEmpty());

    // Without a place for the code.
    EXPECT_EQ(L"def", storage_.GetStringValue(L"missing", L"def", nullptr));
    EXPECT_EQ(17u, storage_.GetDwordValue(L"missing", 17, nullptr));
    EXPECT_EQ(18u, storage_.GetQwordValue(L"missing", 18, nullptr));
    EXPECT_FALSE(storage_.GetBinaryValue(L"missing", buffer, nullptr));
}

TEST_F(RegistryQuiet, SuccessLeavesTheErrorPlaceUntouched) {
    Put(L"dword", REG_DWORD, Bytes({1, 0, 0, 0}));
    Put(L"qword", REG_QWORD, Bytes({2, 0, 0, 0, 0, 0, 0, 0}));
    Put(L"blob", REG_BINARY, Bytes({3}));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRawString(L"sz", REG_SZ, L"four"));
    DWORD error = 0xDEAD;
    ByteBuffer buffer;
    EXPECT_EQ(1u, storage_.GetDwordValue(L"dword", 0, &error));
    EXPECT_EQ(2u, storage_.GetQwordValue(L"qword", 0, &error));
    EXPECT_TRUE(storage_.GetBinaryValue(L"blob", buffer, &error));
    EXPECT_EQ(L"four", storage_.GetStringValue(L"sz", L"", &error));
    EXPECT_EQ(0xDEADu, error);
    ASSERT_EQ(1u, buffer.GetSize());
    EXPECT_EQ(3, buffer.GetData()[0]);
}

TEST_F(RegistryQuiet, ClosedObjectGivesTheDefaultAndInvalidHandle) {
    ASSERT_TRUE(storage_.Close(false));
    const DWORD closed = ERROR_INVALID_HANDLE;
    ByteBuffer buffer;
    DWORD error = 0;
    EXPECT_EQ(L"def", storage_.GetStringValue(L"v", L"def", &error));
    EXPECT_EQ(closed, error);
    error = 0;
    EXPECT_EQ(5u, storage_.GetDwordValue(L"v", 5, &error));
    EXPECT_EQ(closed, error);
    error = 0;
    EXPECT_EQ(6u, storage_.GetQwordValue(L"v", 6, &error));
    EXPECT_EQ(closed, error);
    error = 0;
    EXPECT_FALSE(storage_.GetBinaryValue(L"v", buffer, &error));
    EXPECT_EQ(closed, error);
}

// Throwing forms replaced, to show which code the quiet forms run.
class ScriptedRegistry : public Registry {
public:
    ScriptedRegistry() : Registry(kView64) {}
    enum class Behaviour { Answer, StorageError, OtherError };
    Behaviour behaviour = Behaviour::Answer;

    DWORD GetDwordValue(const std::wstring& name) override { return Act(name, DWORD{77}); }
    ULONGLONG GetQwordValue(const std::wstring& name) override { return Act(name, ULONGLONG{78}); }
    std::wstring GetStringValue(const std::wstring& name, const std::wstring&) override {
        return Act(name, std::wstring(L"scripted"));
    }
    bool GetBinaryValue(const std::wstring& name, ByteBuffer&) override { return Act(name, true); }
    using Registry::GetBinaryValue;
    using Registry::GetDwordValue;
    using Registry::GetQwordValue;
    using Registry::GetStringValue;

private:
    template <typename T>
    T Act(const std::wstring& name, T answer) {
        if (behaviour == Behaviour::StorageError) {
            throw new RegException(4321, __LINE__, __FILE__, L"scripted", name);
        }
        if (behaviour == Behaviour::OtherError) throw std::runtime_error("not a storage error");
        return answer;
    }
};

TEST(RegistryQuietDispatch, QuietFormsRunTheThrowingFormsOfTheObject) {
    // Never opened: only the overrides can answer.
    ScriptedRegistry storage;
    Registry& asRegistry = storage;
    ByteBuffer buffer;
    DWORD error = 0;
    EXPECT_EQ(77u, asRegistry.GetDwordValue(L"v", 1, &error));
    EXPECT_EQ(78u, asRegistry.GetQwordValue(L"v", 1, &error));
    EXPECT_EQ(L"scripted", asRegistry.GetStringValue(L"v", L"def", &error));
    EXPECT_TRUE(asRegistry.GetBinaryValue(L"v", buffer, &error));
    EXPECT_EQ(0u, error);

    storage.behaviour = ScriptedRegistry::Behaviour::StorageError;
    EXPECT_EQ(1u, asRegistry.GetDwordValue(L"v", 1, &error));
    EXPECT_EQ(4321u, error);
    error = 0;
    EXPECT_EQ(2u, asRegistry.GetQwordValue(L"v", 2, &error));
    EXPECT_EQ(4321u, error);
    error = 0;
    EXPECT_EQ(L"def", asRegistry.GetStringValue(L"v", L"def", &error));
    EXPECT_EQ(4321u, error);
    error = 0;
    EXPECT_FALSE(asRegistry.GetBinaryValue(L"v", buffer, &error));
    EXPECT_EQ(4321u, error);

    storage.behaviour = ScriptedRegistry::Behaviour::OtherError;
    error = 0;
    EXPECT_THROW(asRegistry.GetDwordValue(L"v", 1, &error), std::runtime_error);
    EXPECT_THROW(asRegistry.GetQwordValue(L"v", 2, &error), std::runtime_error);
    EXPECT_THROW(asRegistry.GetStringValue(L"v", L"def", &error), std::runtime_error);
    EXPECT_THROW(asRegistry.GetBinaryValue(L"v", buffer, &error), std::runtime_error);
    EXPECT_EQ(0u, error);
}

}  // namespace

// The registry storage: keys, values and their strictness, the quiet reads,
// hostile input, ByteBuffer, memory on failing paths, and what it hands to the
// registry, including the descriptor of the keys it creates.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"
#include "Common/BxCommon/BxComn_SecurityAttributes.h"
#include "ImportPatch.h"
#include "RegistryTestSupport.h"

using BxCommon::Storage::ByteBuffer;
using BxCommon::Storage::Key;
using BxCommon::Storage::kView32;
using BxCommon::Storage::kView64;
using BxCommon::Storage::RegException;
using BxCommon::Storage::Registry;
using namespace RegistryTesting;

namespace {

using Names = std::vector<std::wstring>;

// The four open modes and the rights each must ask for.
using OpenMode = bool (Registry::*)(const Key&, const wchar_t*);
const struct Mode {
    const char* name;
    OpenMode open;
    ACCESS_MASK rights;
} kModes[] = {
    {"OpenForRead", &Registry::OpenForRead, KEY_QUERY_VALUE},
    {"Create", &Registry::Create, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY},
    {"OpenForWrite", &Registry::OpenForWrite, DELETE | KEY_SET_VALUE},
    {"OpenForEnum", &Registry::OpenForEnum, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS},
};

// The storage's plain exception (not a value exception) with code, saying
// where it was raised.
template <typename Call>
void ExpectPlainError(DWORD code, Call&& call) {
    const auto raised = Raised(call);
    ASSERT_NE(nullptr, raised);
    EXPECT_EQ(code, raised->GetErrorCode());
    EXPECT_EQ(nullptr, dynamic_cast<RegException*>(raised.get()));
    EXPECT_NE(std::string::npos, raised->GetFile().find("BxComn_Registry"));
    EXPECT_GT(raised->GetLine(), 0);
}

// ERROR_INVALID_HANDLE once the handle has been closed.
LSTATUS QueryKey(HKEY key) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
}

// Each test works below its own new key of the current user.
class RegistryKey : public ::testing::Test {
protected:
    TestKey testKey_{HKEY_CURRENT_USER};
};

TEST_F(RegistryKey, JoinsKeyPathAndSubKeyWithExactlyOneSeparator) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"marker", REG_DWORD, {7, 0, 0, 0}, L"B"));
    const std::wstring path = testKey_.Path(), withSeparator = path + L"\\";
    const struct {
        const wchar_t* keyPath;
        const wchar_t* subKey;
        std::wstring expected;
    } cases[] = {
        {path.c_str(), L"", withSeparator},  // a separator even with nothing after it
        {path.c_str(), nullptr, withSeparator},
        {path.c_str(), L"B", path + L"\\B"},
        {withSeparator.c_str(), L"B", path + L"\\B"},  // not doubled
        {nullptr, path.c_str(), path},
        {L"", path.c_str(), path},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Registry storage(kView64);
        ASSERT_TRUE(storage.OpenForRead(Key(HKEY_CURRENT_USER, c.keyPath), c.subKey));
        EXPECT_EQ(c.expected, storage.GetPath());
        EXPECT_EQ(c.expected == path + L"\\B" ? 7u : 0u, storage.GetDwordValue(L"marker", 0, nullptr));
    }
}

// A failed open leaves the object as it was, closed or open on its key; a
// successful one closes the key held before, or its handle would leak.
TEST_F(RegistryKey, FailureChangesNothingAndSuccessClosesTheKeyHeldBefore) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"which", REG_DWORD, {1, 0, 0, 0}, L"First"));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"which", REG_DWORD, {2, 0, 0, 0}, L"Second"));
    const Key nullRoot(nullptr, testKey_.Path().c_str());
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        RegistryWithHandle storage(kView64);
        const auto refused = [&] {
            // Passed on, a null root would make the registry answer 6, not 160.
            ExpectPlainError(ERROR_BAD_ARGUMENTS, [&] { (storage.*mode.open)(nullRoot, L"New"); });
            if (mode.open == &Registry::Create) return;
            ExpectPlainError(ERROR_FILE_NOT_FOUND, [&] { (storage.*mode.open)(testKey_.AsKey(), L"New"); });
        };
        refused();
        EXPECT_EQ(L"", storage.GetPath());
        EXPECT_EQ(DWORD{ERROR_INVALID_HANDLE}, CodeOf([&] { storage.Close(false); }));

        ASSERT_TRUE(storage.OpenForRead(testKey_.AsKey(), L"First"));
        const HKEY first = storage.GetHandle();
        refused();
        EXPECT_EQ(first, storage.GetHandle());
        EXPECT_EQ(testKey_ / L"First", storage.GetPath());
        EXPECT_EQ(1u, storage.GetDwordValue(L"which"));

        ASSERT_TRUE((storage.*mode.open)(testKey_.AsKey(), L"Second"));
        EXPECT_EQ(LSTATUS{ERROR_INVALID_HANDLE}, QueryKey(first));
        EXPECT_EQ(testKey_ / L"Second", storage.GetPath());
        EXPECT_EQ(mode.rights & KEY_QUERY_VALUE ? 2u : 0u, storage.GetDwordValue(L"which", 0, nullptr));
    }
    EXPECT_FALSE(testKey_.Exists(L"New"));
}

TEST_F(RegistryKey, EveryOperationButOpeningNeedsAnOpenKey) {
    Registry storage(kView64);
    Names names;
    ByteBuffer buffer;
    const std::function<void()> operations[] = {
        [&] { storage.Close(false); },
        [&] { storage.Close(true); },
        [&] { storage.Flush(); },
        [&] { storage.DeleteKey(); },
        [&] { storage.DeleteValue(L"v"); },
        [&] { storage.DeleteValue(std::wstring(L"v")); },
        [&] { storage.EnumSubKeys(names); },
        [&] { storage.EnumValueNames(names); },
        [&] { storage.GetDwordValue(L"v"); },
        [&] { storage.GetQwordValue(L"v"); },
        [&] { storage.GetStringValue(L"v", L"def"); },
        [&] { storage.GetBinaryValue(L"v", buffer); },
        [&] { storage.SetDwordValue(L"v", 1); },
        [&] { storage.SetQwordValue(L"v", 1); },
        [&] { storage.SetStringValue(L"v", L"text"); },
        [&] { storage.SetBinaryValue(L"v", buffer); },
    };
    for (const char* round : {"never opened", "closed after use"}) {
        for (size_t i = 0; i < std::size(operations); ++i) {
            SCOPED_TRACE(testing::Message() << round << ", operation " << i);
            ExpectPlainError(ERROR_INVALID_HANDLE, operations[i]);
        }
        EXPECT_EQ(L"", storage.GetPath());
        ASSERT_TRUE(storage.Create(testKey_.AsKey(), L""));
        ASSERT_TRUE(storage.Close(false));
    }
}

// Records when Flush runs; can make it fail.
class FlushProbe : public RegistryWithHandle {
public:
    using RegistryWithHandle::RegistryWithHandle;
    bool Flush() override {
        ++flushes;
        handleOpenAtFlush = GetHandle() != nullptr && QueryKey(GetHandle()) == ERROR_SUCCESS;
        if (failFlush) throw new BxCommon::Storage::Exception(1234, __LINE__, __FILE__);
        return RegistryWithHandle::Flush();
    }
    int flushes = 0;
    bool handleOpenAtFlush = false, failFlush = false;
};

TEST_F(RegistryKey, FlushesFirstOnlyWhenAskedAndAFailureKeepsTheKeyOpen) {
    FlushProbe storage(kView64);
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L""));
    const HKEY handle = storage.GetHandle();
    EXPECT_TRUE(storage.Close(true));
    EXPECT_EQ(1, storage.flushes);
    EXPECT_TRUE(storage.handleOpenAtFlush);
    EXPECT_EQ(LSTATUS{ERROR_INVALID_HANDLE}, QueryKey(handle));
    EXPECT_EQ(L"", storage.GetPath());
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L""));
    EXPECT_TRUE(storage.Close(false));
    EXPECT_EQ(1, storage.flushes);

    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L""));
    storage.failFlush = true;
    EXPECT_EQ(1234u, CodeOf([&] { storage.Close(true); }));
    EXPECT_TRUE(storage.SetDwordValue(L"still", 1));
    // A handle closed behind the object's back makes RegCloseKey fail.
    ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(storage.GetHandle()));
    EXPECT_EQ(DWORD{ERROR_INVALID_HANDLE}, CodeOf([&] { storage.Close(false); }));
    EXPECT_EQ(testKey_.Path() + L"\\", storage.GetPath());
    EXPECT_NE(nullptr, storage.GetHandle());
}

TEST_F(RegistryKey, DestructorClosesAndKeepsStorageErrorsToItself) {
    HKEY handle = nullptr;
    {
        RegistryWithHandle storage(kView64);
        ASSERT_TRUE(storage.OpenForRead(testKey_.AsKey(), L""));
        handle = storage.GetHandle();
    }
    EXPECT_EQ(LSTATUS{ERROR_INVALID_HANDLE}, QueryKey(handle));
    // This one's close fails; letting that out would end in std::terminate.
    RegistryWithHandle storage(kView64);
    ASSERT_TRUE(storage.OpenForRead(testKey_.AsKey(), L""));
    ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(storage.GetHandle()));
}

// Names are made in name order, so the registry lists them in that order
// whether it keeps values sorted (Wine) or in creation order.
TEST_F(RegistryKey, ListingAppendsEveryNameOnEveryCall) {
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForEnum(testKey_.AsKey(), L""));
    Names names{L"kept"};
    EXPECT_TRUE(storage.EnumValueNames(names));
    EXPECT_TRUE(storage.EnumSubKeys(names));
    EXPECT_EQ(Names{L"kept"}, names);

    const Names all{L"", L"one", L"two", std::wstring(254, L'x')};  // "" is the default value; 254 still fit
    for (const std::wstring& name : all) {
        ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(name, REG_DWORD, {0, 0, 0, 0}));
        ASSERT_EQ(ERROR_SUCCESS, name.empty() ? ERROR_SUCCESS : testKey_.CreateSubKey(name));
    }
    EXPECT_TRUE(storage.EnumValueNames(names));
    EXPECT_TRUE(storage.EnumValueNames(names));
    Names expected{L"kept"};
    for (int round = 0; round < 2; ++round) expected.insert(expected.end(), all.begin(), all.end());
    EXPECT_EQ(expected, names);
    names.clear();
    EXPECT_TRUE(storage.EnumSubKeys(names));
    EXPECT_EQ(Names(all.begin() + 1, all.end()), names);
}

TEST_F(RegistryKey, NameOf255CharactersThrowsMoreDataAfterTheNamesBeforeIt) {
    for (const std::wstring& name : Names{L"a", L"b", L"m" + std::wstring(254, L'x'), L"z"}) {  // in name order
        ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(name, REG_DWORD, {0, 0, 0, 0}));
        ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(name));
    }
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForEnum(testKey_.AsKey(), L""));
    for (auto enumerate : {&Registry::EnumValueNames, &Registry::EnumSubKeys}) {
        Names names{L"kept"};
        EXPECT_EQ(DWORD{ERROR_MORE_DATA}, CodeOf([&] { (storage.*enumerate)(names); }));
        EXPECT_EQ((Names{L"kept", L"a", L"b"}), names);
    }
}

TEST_F(RegistryKey, DeletesValuesByNameAndKeysWithoutSubKeys) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetText(L"", REG_SZ, L"default"));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetText(L"named", REG_SZ, L"named"));
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForWrite(testKey_.AsKey(), L""));
    EXPECT_TRUE(storage.DeleteValue(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(LSTATUS{ERROR_FILE_NOT_FOUND}, testKey_.GetRaw(L"").result);
    EXPECT_EQ(ERROR_SUCCESS, testKey_.GetRaw(L"named").result);
    EXPECT_TRUE(storage.DeleteValue(std::wstring(L"named")));
    EXPECT_EQ(LSTATUS{ERROR_FILE_NOT_FOUND}, testKey_.GetRaw(L"named").result);
    ExpectPlainError(ERROR_FILE_NOT_FOUND, [&] { storage.DeleteValue(L"named"); });
    ExpectPlainError(ERROR_FILE_NOT_FOUND, [&] { storage.DeleteValue(std::wstring(L"named")); });

    // A key with subkeys is not deleted; one without is, but stays open
    // until Close. Create's rights lack DELETE; that works all the same.
    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(L"Parent\\Child"));
    ASSERT_TRUE(storage.OpenForWrite(testKey_.AsKey(), L"Parent"));
    EXPECT_EQ(DWORD{ERROR_ACCESS_DENIED}, CodeOf([&] { storage.DeleteKey(); }));
    EXPECT_TRUE(testKey_.Exists(L"Parent\\Child"));
    EXPECT_TRUE(storage.SetDwordValue(L"still-open", 1));
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L"Parent\\Child"));
    EXPECT_TRUE(storage.DeleteKey());
    EXPECT_FALSE(testKey_.Exists(L"Parent\\Child"));
    EXPECT_EQ(testKey_ / L"Parent\\Child", storage.GetPath());
    EXPECT_TRUE(storage.Close(false));
}

constexpr DWORD kInvalidData = ERROR_INVALID_DATA;
constexpr DWORD kMoreData = ERROR_MORE_DATA;
constexpr DWORD kNotFound = ERROR_FILE_NOT_FOUND;

Bytes Contents(const ByteBuffer& buffer) { return Bytes(buffer.GetData(), buffer.GetData() + buffer.GetSize()); }

// Opened with Create, so values can be read and written.
class RegistryValue : public RegistryKey {
protected:
    void SetUp() override { ASSERT_TRUE(storage_.Create(testKey_.AsKey(), L"")); }
    // The code of the value exception that call throws, which must name the
    // key and the value; kNothingThrown also for a plain storage exception.
    template <typename Call>
    DWORD ValueErrorOf(const std::wstring& name, Call&& call) {
        const auto raised = Raised(call);
        const auto* valueError = dynamic_cast<const RegException*>(raised.get());
        if (valueError == nullptr) return kNothingThrown;
        EXPECT_EQ(storage_.GetPath(), valueError->GetKeyPath());
        EXPECT_EQ(name, valueError->GetValueName());
        EXPECT_NE(std::string::npos, valueError->GetFile().find("BxComn_Registry"));
        return valueError->GetErrorCode();
    }
    Registry storage_{kView64};
};

TEST_F(RegistryValue, NumbersAreWrittenLittleEndianWithTheirTypes) {
    ASSERT_TRUE(storage_.SetDwordValue(L"d", 0x12345678));
    ASSERT_TRUE(storage_.SetQwordValue(L"q", 0x0123456789ABCDEF));
    EXPECT_EQ(0x12345678u, storage_.GetDwordValue(L"d"));
    EXPECT_EQ(0x0123456789ABCDEFu, storage_.GetQwordValue(L"q"));
    const auto d = testKey_.GetRaw(L"d"), q = testKey_.GetRaw(L"q");
    EXPECT_EQ(DWORD{REG_DWORD}, d.type);
    EXPECT_EQ(Bytes({0x78, 0x56, 0x34, 0x12}), d.data);
    EXPECT_EQ(DWORD{REG_QWORD}, q.type);
    EXPECT_EQ(Bytes({0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}), q.data);
}

TEST_F(RegistryValue, ReadsRefuseOtherTypesAndSizes) {
    ByteBuffer buffer;
    const std::function<void(const wchar_t*)> reads[] = {
        [&](const wchar_t* name) { storage_.GetDwordValue(name); },
        [&](const wchar_t* name) { storage_.GetQwordValue(name); },
        [&](const wchar_t* name) { storage_.GetStringValue(name, L"def"); },
        [&](const wchar_t* name) { storage_.GetBinaryValue(name, buffer); },
    };
    enum { kDword, kQword, kString, kBinary };
    const struct {
        int read;
        DWORD type;
        Bytes data;
        DWORD code;
    } cases[] = {
        {kDword, REG_QWORD, Bytes(8, 1), kMoreData},  // does not fit the 4-byte variable
        {kDword, REG_DWORD, Bytes(5, 1), kMoreData},
        {kDword, REG_DWORD, Bytes(2, 1), kInvalidData},
        {kDword, REG_DWORD, {}, kInvalidData},
        {kDword, REG_BINARY, Bytes(4, 1), kInvalidData},
        {kDword, REG_DWORD_BIG_ENDIAN, Bytes(4, 1), kInvalidData},
        {kQword, REG_DWORD, Bytes(4, 1), kInvalidData},
        {kQword, REG_QWORD, Bytes(4, 1), kInvalidData},
        {kQword, REG_QWORD, Bytes(12, 1), kMoreData},
        {kQword, REG_BINARY, Bytes(8, 1), kInvalidData},
        {kString, REG_DWORD, Bytes(4, 0), kInvalidData},
        {kString, REG_BINARY, {'a', 0, 0, 0}, kInvalidData},
        {kString, REG_NONE, {}, kInvalidData},
        {kBinary, REG_SZ, {'a', 0, 0, 0}, kInvalidData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "read " << c.read << ", type " << c.type << ", " << c.data.size());
        ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"v", c.type, c.data));
        EXPECT_EQ(c.code, ValueErrorOf(L"v", [&] { reads[c.read](L"v"); }));
    }
    for (const auto& read : reads) EXPECT_EQ(kNotFound, ValueErrorOf(L"missing", [&] { read(L"missing"); }));
    EXPECT_TRUE(buffer.IsEmpty());
}

TEST_F(RegistryValue, StringReadsGiveTheTextUpToTheFirstZero) {
    const struct {
        DWORD type;
        Bytes data;
        std::wstring expected;
    } cases[] = {
        {REG_SZ, {'a', 0, 'b', 0, 'c', 0, 0, 0}, L"abc"},
        {REG_SZ, {'a', 0, 'b', 0, 'c', 0}, L"abc"},
        {REG_SZ, {'a', 0, 'b', 0, 'c', 0, 'd'}, L"abcd"},  // an odd last byte is a character of its own
        {REG_SZ, {0, 0}, L""},
        {REG_SZ, {}, L""},
        {REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}, L"a"},
        {REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}, L"a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"v", c.type, c.data));
        EXPECT_EQ(c.expected, storage_.GetStringValue(L"v", L"def"));
    }
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetText(L"v", REG_EXPAND_SZ, L"%SystemRoot%"));
    EXPECT_EQ(L"%SystemRoot%", storage_.GetStringValue(L"v", L""));  // not expanded
}

// Always REG_SZ with a terminator; characters after an embedded zero are
// written as zeros.
TEST_F(RegistryValue, StringWritesAreTerminatedRegSz) {
    const struct {
        std::wstring text;
        Bytes data;
    } cases[] = {
        {L"ab", {'a', 0, 'b', 0, 0, 0}},
        {L"", {0, 0}},
        {L"%T%", {'%', 0, 'T', 0, '%', 0, 0, 0}},
        {std::wstring(L"ab\0cd", 5), {'a', 0, 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ASSERT_TRUE(storage_.SetStringValue(L"v", c.text));
        const auto raw = testKey_.GetRaw(L"v");
        EXPECT_EQ(DWORD{REG_SZ}, raw.type);
        EXPECT_EQ(c.data, raw.data);
    }
}

TEST_F(RegistryValue, BinaryReadsNeedAnEmptyBufferAndWritesTakeItsBytes) {
    const Bytes data = {0x00, 0xFF, 0x7F, 0x80};
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"blob", REG_BINARY, data));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"none", REG_BINARY, {}));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"other", REG_BINARY, Bytes(16, 0xAB)));
    ByteBuffer buffer;
    EXPECT_TRUE(storage_.GetBinaryValue(L"none", buffer));
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_TRUE(storage_.GetBinaryValue(L"blob", buffer));
    EXPECT_EQ(data, Contents(buffer));
    const BYTE* block = buffer.GetData();
    EXPECT_EQ(DWORD{ERROR_OBJECT_ALREADY_EXISTS},
              ValueErrorOf(L"other", [&] { storage_.GetBinaryValue(L"other", buffer); }));
    EXPECT_EQ(block, buffer.GetData());
    EXPECT_EQ(data, Contents(buffer));

    ASSERT_TRUE(storage_.SetBinaryValue(L"copy", buffer));
    ASSERT_TRUE(storage_.SetBinaryValue(L"empty", ByteBuffer()));
    for (const auto& [name, bytes] : {std::pair{L"copy", data}, std::pair{L"empty", Bytes()}}) {
        const auto raw = testKey_.GetRaw(name);
        EXPECT_EQ(ERROR_SUCCESS, raw.result);
        EXPECT_EQ(DWORD{REG_BINARY}, raw.type);
        EXPECT_EQ(bytes, raw.data);
    }
}

// The quiet reads, each answer as text (the binary one: whether it succeeded
// and the buffer's size): what it gives for the stored value `name`, its
// default, and a value of another type.
using QuietRead = std::wstring (*)(Registry&, const wchar_t*, DWORD*);
const struct {
    const wchar_t *name, *answer, *def, *wrongType;
    QuietRead read;
} kQuiet[] = {
    {L"dword", L"1", L"17", L"binary",
     [](Registry& r, const wchar_t* n, DWORD* e) { return std::to_wstring(r.GetDwordValue(n, 17, e)); }},
    {L"qword", L"2", L"18", L"dword",
     [](Registry& r, const wchar_t* n, DWORD* e) { return std::to_wstring(r.GetQwordValue(n, 18, e)); }},
    {L"string", L"three", L"def", L"dword",
     [](Registry& r, const wchar_t* n, DWORD* e) { return r.GetStringValue(n, L"def", e); }},
    {L"binary", L"true 1", L"false 0", L"dword",
     [](Registry& r, const wchar_t* n, DWORD* e) {
         ByteBuffer buffer;
         const std::wstring result = r.GetBinaryValue(n, buffer, e) ? L"true " : L"false ";
         return result + std::to_wstring(buffer.GetSize());
     }},
};

TEST_F(RegistryValue, QuietReadsGiveTheDefaultAndTheCodeOnlyOnFailure) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"dword", REG_DWORD, {1, 0, 0, 0}));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"qword", REG_QWORD, {2, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetText(L"string", REG_SZ, L"three"));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"binary", REG_BINARY, {4}));
    Registry closed(kView64);
    for (const auto& quiet : kQuiet) {
        SCOPED_TRACE(testing::Message() << quiet.name);
        DWORD error = 0xDEAD;
        EXPECT_EQ(quiet.answer, quiet.read(storage_, quiet.name, &error));
        EXPECT_EQ(0xDEADu, error);  // untouched on success
        const struct {
            Registry& storage;
            const wchar_t* name;
            DWORD code;
        } failures[] = {{storage_, L"missing", kNotFound},
                        {storage_, quiet.wrongType, kInvalidData},
                        {closed, quiet.name, ERROR_INVALID_HANDLE}};
        for (const auto& failure : failures) {
            EXPECT_EQ(quiet.def, quiet.read(failure.storage, failure.name, &error));
            EXPECT_EQ(failure.code, error);
            EXPECT_EQ(quiet.def, quiet.read(failure.storage, failure.name, nullptr));  // no place for the code
        }
    }
}

// Throwing forms replaced, to show that the quiet forms run them through the
// object's vtable and pass other exceptions on.
class ScriptedRegistry : public Registry {
public:
    ScriptedRegistry() : Registry(kView64) {}
    int behaviour = 0;  // 0 answers as kQuiet expects, 1 throws a storage error, 2 another error
    DWORD GetDwordValue(const std::wstring&) override { return Act(DWORD{1}); }
    ULONGLONG GetQwordValue(const std::wstring&) override { return Act(ULONGLONG{2}); }
    std::wstring GetStringValue(const std::wstring&, const std::wstring&) override { return Act(L"three"); }
    bool GetBinaryValue(const std::wstring&, ByteBuffer& out) override { return Act(true) && out.Allocate(1, nullptr); }

private:
    template <typename T>
    T Act(T answer) {
        if (behaviour == 1) throw new RegException(4321, __LINE__, __FILE__, L"", L"");
        if (behaviour == 2) throw std::runtime_error("not a storage error");
        return answer;
    }
};

TEST(RegistryQuietDispatch, QuietFormsRunTheThrowingFormsOfTheObject) {
    for (const auto& quiet : kQuiet) {
        SCOPED_TRACE(testing::Message() << quiet.name);
        ScriptedRegistry storage;  // never opened: only the overrides can answer
        DWORD error = 0;
        EXPECT_EQ(quiet.answer, quiet.read(storage, L"v", &error));
        storage.behaviour = 1;
        EXPECT_EQ(quiet.def, quiet.read(storage, L"v", &error));
        EXPECT_EQ(4321u, error);
        storage.behaviour = 2;
        EXPECT_THROW(quiet.read(storage, L"v", &error), std::runtime_error);
    }
}

TEST_F(RegistryValue, MebibyteStringsRoundTrip) {
    std::wstring text(512 * 1024, L'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<wchar_t>(L'A' + i % 26);
    ASSERT_TRUE(storage_.SetStringValue(L"big", text));
    EXPECT_EQ((text.size() + 1) * sizeof(wchar_t), testKey_.GetRaw(L"big").data.size());
    EXPECT_EQ(text, storage_.GetStringValue(L"big", L""));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetText(L"bigUnterminated", REG_SZ, text, false));
    EXPECT_EQ(text, storage_.GetStringValue(L"bigUnterminated", L""));
}

TEST_F(RegistryValue, LongestValueNameWorksAndALongerOneIsRefused) {
    const std::wstring longest(16383, L'n'), tooLong(16384, L'n');
    ASSERT_TRUE(storage_.SetDwordValue(longest, 42));
    EXPECT_EQ(42u, storage_.GetDwordValue(longest));
    EXPECT_EQ(DWORD{ERROR_INVALID_PARAMETER}, ValueErrorOf(tooLong, [&] { storage_.SetStringValue(tooLong, L"x"); }));
    EXPECT_EQ(kNotFound, ValueErrorOf(tooLong, [&] { storage_.GetStringValue(tooLong, L""); }));
}

TEST_F(RegistryValue, KeyDeletedUnderAnOpenObjectFailsEveryUseButClose) {
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(testKey_.Root(), testKey_.Path().c_str()));
    const DWORD deleted = ERROR_KEY_DELETED;
    std::vector<std::wstring> names;
    EXPECT_EQ(deleted, ValueErrorOf(L"v", [&] { storage_.GetDwordValue(L"v"); }));
    EXPECT_EQ(deleted, ValueErrorOf(L"v", [&] { storage_.SetStringValue(L"v", L"again"); }));
    EXPECT_EQ(deleted, CodeOf([&] { storage_.EnumValueNames(names); }));
    EXPECT_EQ(deleted, CodeOf([&] { storage_.Flush(); }));
    EXPECT_TRUE(storage_.Close(false));
}

// A leak of the 4 KiB block alone would be 80 MB here.
TEST_F(RegistryValue, FailingReadsFreeEveryBlock) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"blob", REG_BINARY, Bytes(4096, 0x5A)));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"number", REG_DWORD, {7, 0, 0, 0}));
    ByteBuffer filled;
    ASSERT_TRUE(filled.Allocate(1, nullptr));
    Registry closed(kView64);
    ExpectNoGrowth(
        [&] {
            DWORD codes[4] = {};
            storage_.GetBinaryValue(L"blob", filled, &codes[0]);  // block read, then refused
            storage_.GetStringValue(L"number", L"a default long enough to live on the heap", &codes[1]);
            storage_.GetQwordValue(L"missing", 0, &codes[2]);
            closed.GetDwordValue(L"number", 0, &codes[3]);
            return codes[0] == ERROR_OBJECT_ALREADY_EXISTS && codes[1] == kInvalidData && codes[2] == kNotFound &&
                   codes[3] == ERROR_INVALID_HANDLE &&
                   CodeOf([&] { storage_.GetStringValue(L"blob", L""); }) == kInvalidData;
        },
        2000, 4 * 1024 * 1024);
}

// Refusals (SIZE_MAX / 2 is more than the address space gives) report their
// code when given a place, and change nothing.
TEST(ByteBuffer, FilledOnceWithZerosAndRefusalsChangeNothing) {
    ByteBuffer buffer;
    DWORD error = 0xDEAD;
    for (const auto& [size, code] : {std::pair{size_t{0}, ERROR_BAD_ARGUMENTS}, {SIZE_MAX / 2, ERROR_INVALID_HANDLE}}) {
        EXPECT_FALSE(buffer.Allocate(size, nullptr));
        EXPECT_FALSE(buffer.Allocate(size, &error));
        EXPECT_EQ(DWORD(code), error);
        EXPECT_TRUE(buffer.IsEmpty());
    }
    ASSERT_TRUE(buffer.Allocate(16, &error));
    EXPECT_EQ(0u, error);
    EXPECT_EQ(Bytes(16, 0), Contents(buffer));
    buffer.GetData()[0] = 0x11;
    const Bytes filled = Contents(buffer);
    const BYTE* block = buffer.GetData();
    EXPECT_FALSE(buffer.Allocate(4, nullptr));
    EXPECT_FALSE(buffer.Allocate(4, &error));
    EXPECT_EQ(DWORD{ERROR_OBJECT_ALREADY_EXISTS}, error);
    EXPECT_EQ(block, buffer.GetData());
    EXPECT_EQ(filled, Contents(buffer));
}

// The registry-key descriptor: Administrators and System all but WRITE_DAC and WRITE_OWNER, Power Users not
// DELETE either, readers (AU, BU, IU) READ_CONTROL, query and enumerate, Creator Owner KEY_ALL_ACCESS.
constexpr char kRegistryKeySddl[] =
    "D:(A;;0x1003f;;;BA)(A;;0x3f;;;PU)(A;;0x1003f;;;SY)(A;;0x20009;;;AU)"
    "(A;;0x20009;;;BU)(A;;0x20009;;;IU)(A;;0xf003f;;;CO)";

// The DACL that RegGetKeySecurity reports for a key.
std::string KeyDacl(const TestKey& testKey, const std::wstring& relative) {
    BxCommon::UniqueHKey key;
    Bytes buffer(4096);
    auto size = static_cast<DWORD>(buffer.size());
    if (RegOpenKeyExW(testKey.Root(), (testKey / relative).c_str(), 0, READ_CONTROL, key.Put()) ||
        RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, buffer.data(), &size)) {
        return "<unreadable>";
    }
    return DaclSddl(buffer.data());
}

LSTATUS SetKeyDacl(const TestKey& testKey, const std::wstring& relative, PSECURITY_DESCRIPTOR descriptor) {
    BxCommon::UniqueHKey key;
    const LSTATUS result = RegCreateKeyExW(testKey.Root(), (testKey / relative).c_str(), 0, nullptr, 0, WRITE_DAC,
                                           nullptr, key.Put(), nullptr);
    return result ? result : RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor);
}

// The storage's RegOpenKeyExW and RegCreateKeyExW calls, read during the call while a RecordedCalls lives.
// Options, the attributes' length (0 without them), inheritance and DACL are RegCreateKeyExW's only.
struct Call {
    bool create;
    REGSAM access;
    DWORD options, length;
    BOOL inherit;
    std::string dacl;
};
using RegOpenKeyExW_t = decltype(RegOpenKeyExW);
using RegCreateKeyExW_t = decltype(RegCreateKeyExW);
std::vector<Call> calls;
RegOpenKeyExW_t* originalOpen = nullptr;
RegCreateKeyExW_t* originalCreate = nullptr;

LSTATUS WINAPI RecordOpen(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY key) {
    calls.push_back({false, access, 0, 0, FALSE, ""});
    return originalOpen(root, path, options, access, key);
}

LSTATUS WINAPI RecordCreate(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                            LPSECURITY_ATTRIBUTES attributes, PHKEY key, LPDWORD disposition) {
    const SECURITY_ATTRIBUTES given = attributes ? *attributes : SECURITY_ATTRIBUTES{};
    calls.push_back({true, access, options, given.nLength, given.bInheritHandle, DaclSddl(given.lpSecurityDescriptor)});
    return originalCreate(root, path, reserved, keyClass, options, access, attributes, key, disposition);
}

struct RecordedCalls {
    RecordedCalls() {
        calls.clear();
        originalOpen = open.OriginalAs<RegOpenKeyExW_t*>();
        originalCreate = create.OriginalAs<RegCreateKeyExW_t*>();
    }
    bool Patched() const { return open.Original() && create.Original(); }

    TestSupport::ImportPatch open{"advapi32.dll", "RegOpenKeyExW", reinterpret_cast<void*>(&RecordOpen)};
    TestSupport::ImportPatch create{"advapi32.dll", "RegCreateKeyExW", reinterpret_cast<void*>(&RecordCreate)};
};

// Recorded on the way in: the view flags are consumed by the call, so a
// handle's granted access does not show them.
TEST_F(RegistryKey, EveryModeAsksForItsRightsPlusTheViewFlag) {
    const RecordedCalls recorded;
    ASSERT_TRUE(recorded.Patched());
    const struct {
        DWORD view;
        REGSAM flag;
    } views[] = {{0, 0}, {kView32, KEY_WOW64_32KEY}, {kView64, KEY_WOW64_64KEY}, {3, 0}, {0xFFFFFFFF, 0}};
    for (const auto& view : views) {
        for (const Mode& mode : kModes) {
            SCOPED_TRACE(testing::Message() << mode.name << ", view " << view.view);
            calls.clear();
            Registry storage(view.view);
            // HKCU is not redirected, so every view finds the key.
            EXPECT_TRUE((storage.*mode.open)(testKey_.AsKey(), L""));
            ASSERT_EQ(1u, calls.size());
            EXPECT_EQ(mode.open == &Registry::Create, calls[0].create);
            EXPECT_EQ(mode.rights | view.flag, calls[0].access);
        }
    }
}

// Below HKLM, where RegCreateKeyExW applies a descriptor on Windows. Everyone
// keeps full access to kOwnSddl keys, so the fixture can still remove them.
class RegistryCreate : public ::testing::Test {
protected:
    TestKey testKey_{HKEY_LOCAL_MACHINE};
};

constexpr char kOwnSddl[] = "D:(A;;KA;;;WD)(A;;KR;;;SY)";

TEST_F(RegistryCreate, NewKeyGetsTheRegistryKeyDescriptor) {
    // Control: does RegCreateKeyExW apply a descriptor it is given at all?
    const LocalDescriptor control = FromSddl(kOwnSddl);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), control.get(), FALSE};
    BxCommon::UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(testKey_.Root(), (testKey_ / L"Control").c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, &attributes, key.Put(), nullptr));
    if (KeyDacl(testKey_, L"Control") != DaclSddl(control.get())) {
        GTEST_SKIP() << "RegCreateKeyExW here ignores the descriptor it is given (Wine gives every new key its "
                        "default DACL); HandsTheRegistryKeyDescriptorToRegCreateKeyExW and "
                        "RegistryKeepsTheDescriptorSetOnAKey cover what can be seen.";
    }
    Registry storage(kView64);
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L"New"));
    EXPECT_EQ(DaclSddl(FromSddl(kRegistryKeySddl).get()), KeyDacl(testKey_, L"New"));
}

TEST_F(RegistryCreate, HandsTheRegistryKeyDescriptorToRegCreateKeyExW) {
    const RecordedCalls recorded;
    ASSERT_TRUE(recorded.Patched());
    Registry storage(kView64);
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L"New\\Deeper"));
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(DWORD{REG_OPTION_NON_VOLATILE}, calls[0].options);
    EXPECT_EQ(24u, calls[0].length);
    EXPECT_EQ(FALSE, calls[0].inherit);
    EXPECT_EQ(DaclSddl(FromSddl(kRegistryKeySddl).get()), calls[0].dacl);
    EXPECT_TRUE(testKey_.Exists(L"New\\Deeper"));
}

TEST_F(RegistryCreate, ExistingKeyKeepsItsDescriptorAndValues) {
    const LocalDescriptor own = FromSddl(kOwnSddl);
    ASSERT_EQ(ERROR_SUCCESS, SetKeyDacl(testKey_, L"Old", own.get()));
    ASSERT_EQ(DaclSddl(own.get()), KeyDacl(testKey_, L"Old"));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"kept", REG_DWORD, {7, 0, 0, 0}, L"Old"));
    Registry storage(kView64);
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L"Old"));
    EXPECT_EQ(DaclSddl(own.get()), KeyDacl(testKey_, L"Old"));
    EXPECT_EQ(7u, storage.GetDwordValue(L"kept"));
}

// The registry takes the descriptor as a key's DACL and reports it back.
TEST_F(RegistryCreate, RegistryKeepsTheDescriptorSetOnAKey) {
    BxCommon::AccessControl::SecurityAttributes attributes(4, false);
    ASSERT_EQ(ERROR_SUCCESS, SetKeyDacl(testKey_, L"Secured", attributes.GetAttributes()->lpSecurityDescriptor));
    EXPECT_EQ(DaclSddl(FromSddl(kRegistryKeySddl).get()), KeyDacl(testKey_, L"Secured"));
}

}  // namespace

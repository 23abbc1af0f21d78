// The registry storage against real keys: opening and what a failure leaves,
// what it asks the registry for, closing, listing and deleting, strings read
// and written as the header says, the quiet reads; numbers and binary values.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"
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

constexpr DWORD kInvalidData = ERROR_INVALID_DATA, kNotFound = ERROR_FILE_NOT_FOUND;

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

class RegistryWithHandle : public Registry {
public:
    RegistryWithHandle() : Registry(kView64) {}
    using Registry::GetHandle;
};

// ERROR_INVALID_HANDLE once the handle has been closed.
LSTATUS QueryKey(HKEY key) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
}

// The code of a plain storage exception (a value exception gives kNothingThrown).
template <typename Call>
DWORD PlainErrorOf(Call&& call) {
    const auto raised = Raised(call);
    return raised && !dynamic_cast<RegException*>(raised.get()) ? raised->GetErrorCode() : kNothingThrown;
}

class RegistryKey : public ::testing::Test {
protected:
    TestKey testKey_;
};

// A failed open leaves the object as it was, closed or open on its key; a
// successful one closes the key held before, or its handle would leak. The
// separator between path and subkey is not doubled, and is there even with
// nothing after it.
TEST_F(RegistryKey, OpensTheJoinedPathAndAFailureChangesNothing) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"which", REG_DWORD, {1, 0, 0, 0}, L"First"));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"which", REG_DWORD, {2, 0, 0, 0}, L"Second"));
    const std::wstring withSeparator = testKey_.Path() + L"\\";
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        RegistryWithHandle storage;
        const auto refused = [&] {
            // Passed on, a null root would make the registry answer 6, not 160.
            EXPECT_EQ(160u, PlainErrorOf([&] { (storage.*mode.open)(Key(nullptr, withSeparator.c_str()), L"New"); }));
            if (mode.open == &Registry::Create) return;
            EXPECT_EQ(kNotFound, PlainErrorOf([&] { (storage.*mode.open)(testKey_.AsKey(), L"New"); }));
        };
        refused();
        EXPECT_EQ(L"", storage.GetPath());
        EXPECT_EQ(6u, PlainErrorOf([&] { storage.Close(false); }));

        ASSERT_TRUE(storage.OpenForRead(Key(HKEY_CURRENT_USER, withSeparator.c_str()), L"First"));
        const HKEY first = storage.GetHandle();
        refused();
        EXPECT_EQ(first, storage.GetHandle());
        EXPECT_EQ(withSeparator + L"First", storage.GetPath());
        EXPECT_EQ(1u, storage.GetDwordValue(L"which"));

        ASSERT_TRUE((storage.*mode.open)(testKey_.AsKey(), L"Second"));
        EXPECT_EQ(LSTATUS{ERROR_INVALID_HANDLE}, QueryKey(first));
        EXPECT_EQ(withSeparator + L"Second", storage.GetPath());
        EXPECT_EQ(mode.rights & KEY_QUERY_VALUE ? 2u : 0u, storage.GetDwordValue(L"which", 0, nullptr));
        ASSERT_TRUE((storage.*mode.open)(testKey_.AsKey(), nullptr));
        EXPECT_EQ(withSeparator, storage.GetPath());
        ASSERT_TRUE((storage.*mode.open)(Key(HKEY_CURRENT_USER, nullptr), testKey_.Path().c_str()));
        EXPECT_EQ(testKey_.Path(), storage.GetPath());
    }
}

// RegOpenKeyExW and RegCreateKeyExW as the storage calls them, recorded on
// the way in: the view flags are consumed by the call, so a handle's granted
// access does not show them.
std::vector<std::pair<REGSAM, std::string>> calls;  // access; RegCreateKeyExW's attributes
decltype(&RegOpenKeyExW) originalOpen = nullptr;
decltype(&RegCreateKeyExW) originalCreate = nullptr;

LSTATUS WINAPI RecordOpen(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY key) {
    calls.emplace_back(access, "opened");
    return originalOpen(root, path, options, access, key);
}

LSTATUS WINAPI RecordCreate(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                            LPSECURITY_ATTRIBUTES attributes, PHKEY key, LPDWORD disposition) {
    const SECURITY_ATTRIBUTES given = attributes ? *attributes : SECURITY_ATTRIBUTES{};
    calls.emplace_back(access, std::to_string(options) + " " + std::to_string(given.nLength) + " " +
                                   std::to_string(given.bInheritHandle) + " " + DaclSddl(given.lpSecurityDescriptor));
    return originalCreate(root, path, reserved, keyClass, options, access, attributes, key, disposition);
}

// Create hands over the registry-key descriptor (object type 4); whether the
// registry applies it is the registry's business (Wine does not).
TEST_F(RegistryKey, EveryModeAsksForItsRightsPlusTheViewFlagAndCreateForTheKeyDescriptor) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(L"New"));
    const TestSupport::ImportPatch open{"advapi32.dll", "RegOpenKeyExW", reinterpret_cast<void*>(&RecordOpen)};
    const TestSupport::ImportPatch create{"advapi32.dll", "RegCreateKeyExW", reinterpret_cast<void*>(&RecordCreate)};
    ASSERT_TRUE(open.Original() && create.Original());
    originalOpen = open.OriginalAs<decltype(&RegOpenKeyExW)>();
    originalCreate = create.OriginalAs<decltype(&RegCreateKeyExW)>();
    // REG_OPTION_NON_VOLATILE, sizeof(SECURITY_ATTRIBUTES), not inheritable.
    const std::string createAttributes =
        "0 24 0 " + CanonicalSddl(
                        "D:(A;;0x1003f;;;BA)(A;;0x3f;;;PU)(A;;0x1003f;;;SY)(A;;0x20009;;;AU)"
                        "(A;;0x20009;;;BU)(A;;0x20009;;;IU)(A;;KA;;;CO)");
    const std::pair<DWORD, REGSAM> views[] = {{0, 0}, {kView32, KEY_WOW64_32KEY}, {kView64, KEY_WOW64_64KEY}, {3, 0}};
    for (const auto& [view, flag] : views) {
        for (const Mode& mode : kModes) {
            SCOPED_TRACE(testing::Message() << mode.name << ", view " << view);
            calls.clear();
            Registry storage(view);
            // HKCU is not redirected, so every view finds the key.
            EXPECT_TRUE((storage.*mode.open)(testKey_.AsKey(), L"New"));
            ASSERT_EQ(1u, calls.size());
            EXPECT_EQ(mode.rights | flag, calls[0].first);
            EXPECT_EQ(mode.open == &Registry::Create ? createAttributes : "opened", calls[0].second);
        }
    }
}

// A flush that fails shows that Close flushes first only when asked and that
// a failure there keeps the key open. The destructor closes, and keeps a
// failing close to itself (letting it out would end in std::terminate).
class FailingFlush : public RegistryWithHandle {
public:
    bool Flush() override { throw new BxCommon::Storage::Exception(1234, __LINE__, __FILE__); }
};

TEST_F(RegistryKey, CloseFlushesOnlyWhenAskedAndTheDestructorClosesQuietly) {
    FailingFlush storage;
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L""));
    EXPECT_EQ(1234u, CodeOf([&] { storage.Close(true); }));
    EXPECT_TRUE(storage.SetDwordValue(L"still-open", 1));
    EXPECT_TRUE(storage.Close(false));
    EXPECT_EQ(L"", storage.GetPath());
    HKEY destroyed = nullptr;
    {
        RegistryWithHandle scoped;
        ASSERT_TRUE(scoped.OpenForRead(testKey_.AsKey(), L""));
        destroyed = scoped.GetHandle();
    }
    EXPECT_EQ(LSTATUS{ERROR_INVALID_HANDLE}, QueryKey(destroyed));
    RegistryWithHandle failing;
    ASSERT_TRUE(failing.OpenForRead(testKey_.AsKey(), L""));
    ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(failing.GetHandle()));
}

// Names are made in name order, so the registry lists them in that order
// whether it keeps them sorted (Wine) or in creation order. "" is the
// default value; 254 characters still fit, 255 throw after the names before.
TEST_F(RegistryKey, ListingAppendsEveryNameAndALongNameThrowsAfterTheOnesBefore) {
    const std::vector<std::wstring> all{L"", L"a", std::wstring(254, L'x'), L"y" + std::wstring(254, L'x')};
    for (const std::wstring& name : all) {
        ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(name, REG_DWORD, {0, 0, 0, 0}));
        if (!name.empty()) {
            ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(name));
        }
    }
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForEnum(testKey_.AsKey(), L""));
    for (auto enumerate : {&Registry::EnumValueNames, &Registry::EnumSubKeys}) {
        std::vector<std::wstring> names{L"kept"};
        EXPECT_EQ(DWORD{ERROR_MORE_DATA}, CodeOf([&] { (storage.*enumerate)(names); }));
        std::vector<std::wstring> expected{L"kept"};
        expected.insert(expected.end(), all.begin() + (enumerate == &Registry::EnumSubKeys), all.end() - 1);
        EXPECT_EQ(expected, names);
    }
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L""));
    ASSERT_TRUE(storage.DeleteValue(all.back()));
    std::vector<std::wstring> names;
    ASSERT_TRUE(storage.OpenForEnum(testKey_.AsKey(), L""));
    EXPECT_TRUE(storage.EnumValueNames(names));
    EXPECT_TRUE(storage.EnumValueNames(names));
    EXPECT_EQ(6u, names.size());
}

// Null names the default value; a missing value is a plain error. Deleting
// keys is the library's alone: one with subkeys is refused, one without goes
// but stays open until Close.
TEST_F(RegistryKey, DeletesValuesByNameAndKeysWithoutSubKeys) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"", REG_DWORD, {1, 0, 0, 0}));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"named", REG_DWORD, {1, 0, 0, 0}));
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForWrite(testKey_.AsKey(), L""));
    EXPECT_TRUE(storage.DeleteValue(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(std::make_pair(DWORD{REG_NONE}, Bytes()), testKey_.GetRaw(L""));
    EXPECT_EQ(DWORD{REG_DWORD}, testKey_.GetRaw(L"named").first);
    EXPECT_TRUE(storage.DeleteValue(L"named"));
    EXPECT_EQ(kNotFound, PlainErrorOf([&] { storage.DeleteValue(L"named"); }));

    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(L"Parent\\Child"));
    ASSERT_TRUE(storage.OpenForWrite(testKey_.AsKey(), L"Parent"));
    EXPECT_EQ(DWORD{ERROR_ACCESS_DENIED}, CodeOf([&] { storage.DeleteKey(); }));
    ASSERT_TRUE(storage.OpenForWrite(testKey_.AsKey(), L"Parent\\Child"));
    EXPECT_TRUE(storage.DeleteKey());
    EXPECT_EQ(testKey_.Path() + L"\\Parent\\Child", storage.GetPath());
    EXPECT_TRUE(storage.Close(false));
    EXPECT_EQ(kNotFound, CodeOf([&] { storage.OpenForRead(testKey_.AsKey(), L"Parent\\Child"); }));
}

// Opened with Create, so values can be read and written.
class RegistryValue : public RegistryKey {
protected:
    void SetUp() override { ASSERT_TRUE(storage_.Create(testKey_.AsKey(), L"")); }
    Registry storage_{kView64};
};

// What a throwing read gives for value `name`: its text (numbers in decimal,
// binary bytes in hex), or "<n>" for a value exception with code n, which
// must name the key and the value.
enum class Read { kDword, kQword, kString, kBinary };
std::wstring ReadAs(Registry& storage, Read read, const std::wstring& name) {
    std::wstring text;
    const auto raised = Raised([&] {
        ByteBuffer buffer;
        if (read == Read::kDword) text = std::to_wstring(storage.GetDwordValue(name));
        if (read == Read::kQword) text = std::to_wstring(storage.GetQwordValue(name));
        if (read == Read::kString) text = storage.GetStringValue(name, L"default");
        if (read == Read::kBinary && storage.GetBinaryValue(name, buffer)) {
            for (ULONGLONG i = 0; i < buffer.GetSize(); ++i) {
                text += {L"0123456789abcdef"[buffer.GetData()[i] >> 4], L"0123456789abcdef"[buffer.GetData()[i] & 15]};
            }
        }
    });
    if (!raised) return text;
    const auto* valueError = dynamic_cast<const RegException*>(raised.get());
    EXPECT_TRUE(valueError && valueError->GetKeyPath() == storage.GetPath() && valueError->GetValueName() == name);
    return L"<" + std::to_wstring(raised->GetErrorCode()) + L">";
}

// Reads are strict: only their own type (and size, for numbers). Strings
// are the text up to the first zero character, terminated or not; numbers
// and binary values are the library's contract with the feature's other
// modules.
TEST_F(RegistryValue, ReadsTakeOnlyTheirOwnTypeAndSize) {
    const struct {
        const char* name;
        DWORD type;
        Bytes data;
        Read read;
        std::wstring expected;
    } cases[] = {
        {"string, terminated", REG_SZ, {'a', 0, 'b', 0, 0, 0}, Read::kString, L"ab"},
        {"string, unterminated", REG_SZ, {'a', 0, 'b', 0}, Read::kString, L"ab"},
        {"string, odd last byte", REG_SZ, {'a', 0, 'b', 0, 'c'}, Read::kString, L"abc"},
        {"string, empty", REG_SZ, {}, Read::kString, L""},
        {"multi-string: the first", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}, Read::kString, L"a"},
        {"expandable: not expanded", REG_EXPAND_SZ, {'%', 0, 'T', 0, '%', 0, 0, 0}, Read::kString, L"%T%"},
        {"string of a dword", REG_DWORD, {0, 0, 0, 0}, Read::kString, L"<13>"},
        {"string of binary", REG_BINARY, {'a', 0, 0, 0}, Read::kString, L"<13>"},
        {"dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12}, Read::kDword, L"305419896"},
        {"dword of a qword: does not fit", REG_QWORD, Bytes(8, 1), Read::kDword, L"<234>"},
        {"dword of two bytes", REG_DWORD, {1, 2}, Read::kDword, L"<13>"},
        {"qword", REG_QWORD, {0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}, Read::kQword, L"81985529216486895"},
        {"qword of a dword", REG_DWORD, {1, 2, 3, 4}, Read::kQword, L"<13>"},
        {"qword of four bytes", REG_QWORD, {1, 2, 3, 4}, Read::kQword, L"<13>"},
        {"binary", REG_BINARY, {0x00, 0xFF, 0x7F, 0x80}, Read::kBinary, L"00ff7f80"},
        {"binary, empty", REG_BINARY, {}, Read::kBinary, L""},
        {"binary of a string", REG_SZ, {'a', 0, 0, 0}, Read::kBinary, L"<13>"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"v", c.type, c.data));
        EXPECT_EQ(c.expected, ReadAs(storage_, c.read, L"v")) << c.name;
    }
    for (Read read : {Read::kDword, Read::kQword, Read::kString, Read::kBinary}) {
        EXPECT_EQ(L"<2>", ReadAs(storage_, read, L"missing"));
    }
}

// Numbers little-endian with their own types; strings always REG_SZ with
// the terminator, characters after an embedded zero written as zeros;
// binary values the buffer's bytes. A buffer is filled once: a read into a
// full one is refused and changes it not.
TEST_F(RegistryValue, WritesStoreTheirOwnTypeAndStringsTheirTerminator) {
    ASSERT_TRUE(storage_.SetDwordValue(L"dword", 0x12345678));
    ASSERT_TRUE(storage_.SetQwordValue(L"qword", 0x0123456789ABCDEF));
    ASSERT_TRUE(storage_.SetStringValue(L"ab", L"ab"));
    ASSERT_TRUE(storage_.SetStringValue(L"empty", L""));
    ASSERT_TRUE(storage_.SetStringValue(L"embedded", std::wstring(L"a\0c", 3)));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"blob", REG_BINARY, {0x00, 0xFF}));
    ByteBuffer buffer;
    ASSERT_TRUE(storage_.GetBinaryValue(L"blob", buffer));
    EXPECT_EQ(DWORD{ERROR_OBJECT_ALREADY_EXISTS}, CodeOf([&] { storage_.GetBinaryValue(L"blob", buffer); }));
    EXPECT_EQ(2u, buffer.GetSize());
    ASSERT_TRUE(storage_.SetBinaryValue(L"copy", buffer));
    ASSERT_TRUE(storage_.SetBinaryValue(L"none", ByteBuffer()));
    const std::pair<const wchar_t*, std::pair<DWORD, Bytes>> stored[] = {
        {L"dword", {REG_DWORD, {0x78, 0x56, 0x34, 0x12}}},
        {L"qword", {REG_QWORD, {0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}}},
        {L"ab", {REG_SZ, {'a', 0, 'b', 0, 0, 0}}},
        {L"empty", {REG_SZ, {0, 0}}},
        {L"embedded", {REG_SZ, {'a', 0, 0, 0, 0, 0, 0, 0}}},
        {L"copy", {REG_BINARY, {0x00, 0xFF}}},
        {L"none", {REG_BINARY, {}}},
    };
    for (const auto& [name, raw] : stored) EXPECT_EQ(raw, testKey_.GetRaw(name)) << name;
}

// The quiet reads answer the default, and the code only on failure and only
// where there is a place for it. A refused read throws a heap exception (the
// binary one after reading its block), which the quiet forms must free: a
// lost block alone would be 80 MB here (PagefileUsage: Wine fills only the
// basic counters).
TEST_F(RegistryValue, QuietReadsGiveTheDefaultAndTheCodeOnlyOnFailure) {
    ASSERT_TRUE(storage_.SetStringValue(L"string", L"three"));
    ASSERT_TRUE(storage_.SetDwordValue(L"dword", 1));
    ASSERT_TRUE(storage_.SetQwordValue(L"qword", 2));
    DWORD error = 0xDEAD;
    EXPECT_EQ(L"three", storage_.GetStringValue(L"string", L"def", &error));
    EXPECT_EQ(1u, storage_.GetDwordValue(L"dword", 17, &error));
    EXPECT_EQ(2u, storage_.GetQwordValue(L"qword", 18, &error));
    EXPECT_EQ(0xDEADu, error);
    Registry closed(kView64);
    const std::tuple<Registry*, const wchar_t*, DWORD> failures[] = {
        {&storage_, L"missing", kNotFound}, {&storage_, L"dword", kInvalidData}, {&closed, L"string", 6}};
    for (const auto& [storage, name, code] : failures) {
        EXPECT_EQ(L"def", storage->GetStringValue(name, L"def", &error));
        EXPECT_EQ(code, error);
        EXPECT_EQ(L"def", storage->GetStringValue(name, L"def", nullptr));
    }
    EXPECT_EQ(17u, storage_.GetDwordValue(L"qword", 17, &error));
    EXPECT_EQ(DWORD{ERROR_MORE_DATA}, error);
    EXPECT_EQ(18u, storage_.GetQwordValue(L"dword", 18, nullptr));

    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(L"big", REG_BINARY, Bytes(4096, 0x5A)));
    ByteBuffer full;
    ASSERT_TRUE(full.Allocate(1, nullptr));
    const auto refusedReads = [&](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            ASSERT_FALSE(storage_.GetBinaryValue(L"big", full, &error));
            ASSERT_EQ(DWORD{ERROR_OBJECT_ALREADY_EXISTS}, error);
            ASSERT_EQ(L"", storage_.GetStringValue(L"big", L"", &error));
        }
    };
    PROCESS_MEMORY_COUNTERS before{}, after{};
    refusedReads(2000);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
    refusedReads(20000);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + 4 * 1024 * 1024);
}

}  // namespace

// The registry storage against real keys: opening, the rights, view and
// descriptor it asks for, listing and deleting, what each value type stores
// and reads, and the quiet reads.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"
#include "Common/BxCommon/BxComn_SecurityAttributes.h"
#include "ImportPatch.h"

using BxCommon::AccessControl::SecurityAttributes;
using BxCommon::Storage::ByteBuffer;
using BxCommon::Storage::Key;
using BxCommon::Storage::kView32;
using BxCommon::Storage::kView64;
using BxCommon::Storage::Registry;

namespace {

using Bytes = std::vector<BYTE>;
constexpr DWORD kInvalidData = ERROR_INVALID_DATA, kNotFound = ERROR_FILE_NOT_FOUND, kNothingThrown = 0xFFFFFFFF;

// The code of the storage exception that call throws; kNothingThrown when none.
template <typename Call>
DWORD CodeOf(Call&& call) {
    try {
        call();
    } catch (BxCommon::Storage::Exception* e) {
        return std::unique_ptr<BxCommon::Storage::Exception>(e)->GetErrorCode();
    }
    return kNothingThrown;
}

class RegistryWithHandle : public Registry {
public:
    RegistryWithHandle() : Registry(kView64) {}
    using Registry::GetHandle;
};

// Each case in a new empty key HKCU\Software\TavrelTests\<pid>, deleted
// with everything below it. HKCU is not redirected, so every view sees it.
class RegistryKey : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ERROR_SUCCESS, CreateSubKey(L"")); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

    Key AsKey() const { return Key(HKEY_CURRENT_USER, path_.c_str()); }
    std::wstring Below(const std::wstring& relative) const {
        return path_ + (relative.empty() ? L"" : L"\\" + relative);
    }
    LSTATUS CreateSubKey(const std::wstring& relative) const {
        BxCommon::UniqueHKey key;
        return RegCreateKeyExW(HKEY_CURRENT_USER, Below(relative).c_str(), 0, nullptr, 0, KEY_READ, nullptr, key.Put(),
                               nullptr);
    }
    // Creates the subkey `relative` when missing.
    LSTATUS SetRaw(const std::wstring& name, DWORD type, const Bytes& data, const std::wstring& relative = L"") const {
        return RegSetKeyValueW(HKEY_CURRENT_USER, Below(relative).c_str(), name.c_str(), type, data.data(),
                               static_cast<DWORD>(data.size()));
    }
    // The value as stored, with its type; REG_NONE and no bytes when it
    // cannot be read. RegGetValueW would add a terminator to string data.
    std::pair<DWORD, Bytes> GetRaw(const std::wstring& name) const {
        DWORD type = REG_NONE, size = 4096;
        Bytes data(size);
        BxCommon::UniqueHKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS ||
            RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
            return {REG_NONE, {}};
        }
        data.resize(size);
        return {type, data};
    }

    const std::wstring path_ = L"Software\\TavrelTests\\" + std::to_wstring(GetCurrentProcessId());
};

// A failed open leaves the object open on its key; a successful one closes
// the key held before (then ERROR_INVALID_HANDLE), and the destructor the
// last. The separator between path and subkey is not doubled, and is there
// even with nothing after it. All four modes open through the same steps.
TEST_F(RegistryKey, OpensTheJoinedPathAndAFailureChangesNothing) {
    ASSERT_EQ(ERROR_SUCCESS, SetRaw(L"which", REG_DWORD, {1, 0, 0, 0}, L"First"));
    ASSERT_EQ(ERROR_SUCCESS, SetRaw(L"which", REG_DWORD, {2, 0, 0, 0}, L"Second"));
    const std::wstring withSeparator = path_ + L"\\";
    HKEY last = nullptr;
    {
        RegistryWithHandle storage;
        EXPECT_EQ(6u, CodeOf([&] { storage.Close(false); }));
        ASSERT_TRUE(storage.OpenForRead(Key(HKEY_CURRENT_USER, withSeparator.c_str()), L"First"));
        const HKEY first = storage.GetHandle();
        // Passed on, a null root would make the registry answer 6, not 160.
        EXPECT_EQ(160u, CodeOf([&] { storage.Create(Key(nullptr, withSeparator.c_str()), L"New"); }));
        EXPECT_EQ(kNotFound, CodeOf([&] { storage.OpenForWrite(AsKey(), L"New"); }));
        EXPECT_EQ(first, storage.GetHandle());
        EXPECT_EQ(withSeparator + L"First", storage.GetPath());
        EXPECT_EQ(1u, storage.GetDwordValue(L"which"));
        ASSERT_TRUE(storage.OpenForEnum(AsKey(), L"Second"));
        EXPECT_EQ(LSTATUS{ERROR_INVALID_HANDLE}, RegFlushKey(first));
        EXPECT_EQ(withSeparator + L"Second", storage.GetPath());
        EXPECT_EQ(2u, storage.GetDwordValue(L"which"));
        ASSERT_TRUE(storage.Create(AsKey(), nullptr));
        EXPECT_EQ(withSeparator, storage.GetPath());
        ASSERT_TRUE(storage.OpenForRead(Key(HKEY_CURRENT_USER, nullptr), path_.c_str()));
        EXPECT_EQ(path_, storage.GetPath());
        last = storage.GetHandle();
    }
    EXPECT_EQ(LSTATUS{ERROR_INVALID_HANDLE}, RegFlushKey(last));
}

// RegOpenKeyExW and RegCreateKeyExW as the storage calls them, recorded on
// the way in: the view flags are consumed by the call, so a handle's granted
// access does not show them. For Create: options, the attributes' length and
// inheritance, and the descriptor's bytes.
std::vector<std::pair<REGSAM, std::string>> calls;
decltype(&RegOpenKeyExW) originalOpen = nullptr;
decltype(&RegCreateKeyExW) originalCreate = nullptr;

std::string Describe(DWORD options, const SECURITY_ATTRIBUTES* attributes) {
    if (!attributes || !attributes->lpSecurityDescriptor) return "no descriptor";
    return std::to_string(options) + " " + std::to_string(attributes->nLength) + " " +
           std::to_string(attributes->bInheritHandle) + " " +
           std::string(static_cast<const char*>(attributes->lpSecurityDescriptor),
                       GetSecurityDescriptorLength(attributes->lpSecurityDescriptor));
}
LSTATUS WINAPI RecordOpen(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY key) {
    calls.emplace_back(access, "opened");
    return originalOpen(root, path, options, access, key);
}
LSTATUS WINAPI RecordCreate(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                            LPSECURITY_ATTRIBUTES attributes, PHKEY key, LPDWORD disposition) {
    calls.emplace_back(access, Describe(options, attributes));
    return originalCreate(root, path, reserved, keyClass, options, access, attributes, key, disposition);
}

// Create hands over the registry-key descriptor (object type 4, whose entries
// SecurityAttributesTests checks); whether the registry applies it is the
// registry's business (Wine does not).
TEST_F(RegistryKey, EveryModeAsksForItsRightsPlusTheViewFlagAndCreateForTheKeyDescriptor) {
    ASSERT_EQ(ERROR_SUCCESS, CreateSubKey(L"New"));
    const TestSupport::ImportPatch open{"advapi32.dll", "RegOpenKeyExW", reinterpret_cast<void*>(&RecordOpen)};
    const TestSupport::ImportPatch create{"advapi32.dll", "RegCreateKeyExW", reinterpret_cast<void*>(&RecordCreate)};
    ASSERT_TRUE(open.Original() && create.Original());
    originalOpen = open.OriginalAs<decltype(&RegOpenKeyExW)>();
    originalCreate = create.OriginalAs<decltype(&RegCreateKeyExW)>();
    SecurityAttributes keyAttributes(BxCommon::AccessControl::kObjectTypeRegistryKey, false);
    const std::string createAttributes = Describe(REG_OPTION_NON_VOLATILE, keyAttributes.GetAttributes());
    const std::pair<bool (Registry::*)(const Key&, const wchar_t*), ACCESS_MASK> modes[] = {
        {&Registry::OpenForRead, KEY_QUERY_VALUE},
        {&Registry::Create, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY},
        {&Registry::OpenForWrite, DELETE | KEY_SET_VALUE},
        {&Registry::OpenForEnum, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS},
    };
    const std::pair<DWORD, REGSAM> views[] = {{0, 0}, {kView32, KEY_WOW64_32KEY}, {kView64, KEY_WOW64_64KEY}, {3, 0}};
    for (const auto& [view, flag] : views) {
        for (const auto& [open, rights] : modes) {
            SCOPED_TRACE(testing::Message() << "rights " << rights << ", view " << view);
            calls.clear();
            Registry storage(view);
            EXPECT_TRUE((storage.*open)(AsKey(), L"New"));
            ASSERT_EQ(1u, calls.size());
            EXPECT_EQ(rights | flag, calls[0].first);
            EXPECT_EQ(open == &Registry::Create ? createAttributes : "opened", calls[0].second);
        }
    }
}

// Names are made in name order, so the registry lists them in that order
// whether it keeps them sorted (Wine) or in creation order. "" is the
// default value; 254 characters still fit, 255 throw after the names before.
// Null deletes the default value; deleting a key with subkeys is refused.
TEST_F(RegistryKey, ListsAppendingEveryNameAndDeletesValuesAndKeysWithoutSubKeys) {
    const std::vector<std::wstring> all{L"", L"a", std::wstring(254, L'x'), L"y" + std::wstring(254, L'x')};
    for (const std::wstring& name : all) {
        ASSERT_EQ(ERROR_SUCCESS, SetRaw(name, REG_DWORD, {0, 0, 0, 0}));
        if (!name.empty()) {
            ASSERT_EQ(ERROR_SUCCESS, CreateSubKey(name + L"\\a"));
        }
    }
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForEnum(AsKey(), L""));
    for (auto enumerate : {&Registry::EnumValueNames, &Registry::EnumSubKeys}) {
        std::vector<std::wstring> names{L"kept"};
        EXPECT_EQ(DWORD{ERROR_MORE_DATA}, CodeOf([&] { (storage.*enumerate)(names); }));
        std::vector<std::wstring> expected{L"kept"};
        expected.insert(expected.end(), all.begin() + (enumerate == &Registry::EnumSubKeys), all.end() - 1);
        EXPECT_EQ(expected, names);
    }
    ASSERT_TRUE(storage.OpenForWrite(AsKey(), L""));
    EXPECT_TRUE(storage.DeleteValue(all.back()));
    EXPECT_TRUE(storage.DeleteValue(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(kNotFound, CodeOf([&] { storage.DeleteValue(L""); }));
    EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, Bytes(4, 0)), GetRaw(L"a"));
    ASSERT_TRUE(storage.OpenForWrite(AsKey(), L"a"));
    EXPECT_EQ(DWORD{ERROR_ACCESS_DENIED}, CodeOf([&] { storage.DeleteKey(); }));
    ASSERT_TRUE(storage.OpenForWrite(AsKey(), L"a\\a"));
    EXPECT_TRUE(storage.DeleteKey());
    EXPECT_EQ(kNotFound, CodeOf([&] { storage.OpenForRead(AsKey(), L"a\\a"); }));
}

// Opened with Create, so values can be read and written.
class RegistryValue : public RegistryKey {
protected:
    void SetUp() override {
        RegistryKey::SetUp();
        ASSERT_TRUE(storage_.Create(AsKey(), L""));
    }
    Registry storage_{kView64};
};

// A string read's text, or "<n>" for a failure with code n.
std::wstring ReadString(Registry& storage, const std::wstring& name) {
    std::wstring text;
    const DWORD code = CodeOf([&] { text = storage.GetStringValue(name, L"default"); });
    return code == kNothingThrown ? text : L"<" + std::to_wstring(code) + L">";
}

// Reads take the three string types only: the text up to the first zero
// character, terminated or not. Writes are always REG_SZ with the
// terminator, characters after an embedded zero written as zeros.
TEST_F(RegistryValue, StringsAreReadUpToTheFirstZeroAndWrittenWithTheirTerminator) {
    const struct {
        const char* name;
        DWORD type;
        Bytes data;
        std::wstring expected;
    } reads[] = {
        {"terminated", REG_SZ, {'a', 0, 'b', 0, 0, 0}, L"ab"},
        {"unterminated", REG_SZ, {'a', 0, 'b', 0}, L"ab"},
        {"odd last byte", REG_SZ, {'a', 0, 'b', 0, 'c'}, L"abc"},
        {"empty", REG_SZ, {}, L""},
        {"multi-string: the first", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}, L"a"},
        {"expandable: not expanded", REG_EXPAND_SZ, {'%', 0, 'T', 0, '%', 0, 0, 0}, L"%T%"},
        {"a dword", REG_DWORD, {0, 0, 0, 0}, L"<13>"},
        {"binary", REG_BINARY, {'a', 0, 0, 0}, L"<13>"},
    };
    for (const auto& c : reads) {
        ASSERT_EQ(ERROR_SUCCESS, SetRaw(L"v", c.type, c.data));
        EXPECT_EQ(c.expected, ReadString(storage_, L"v")) << c.name;
    }
    EXPECT_EQ(L"<2>", ReadString(storage_, L"missing"));
    ASSERT_TRUE(storage_.SetStringValue(L"ab", L"ab"));
    ASSERT_TRUE(storage_.SetStringValue(L"embedded", std::wstring(L"a\0c", 3)));
    EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, Bytes{'a', 0, 'b', 0, 0, 0}), GetRaw(L"ab"));
    EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, Bytes{'a', 0, 0, 0, 0, 0, 0, 0}), GetRaw(L"embedded"));
}

// Numbers are stored little-endian with their own types and read back only
// from exactly that type and size; binary values are the buffer's bytes,
// read into an empty buffer only. The quiet reads answer the default, and
// the code only on failure and only where there is a place for it. A
// refused read throws a heap exception (the binary one after reading its
// block), which the quiet forms must free: a lost block alone would be
// 80 MB here (PagefileUsage: Wine fills only the basic counters).
TEST_F(RegistryValue, NumbersAndBinaryValuesKeepTheirTypeAndSizeAndQuietReadsTheirDefault) {
    ASSERT_TRUE(storage_.SetDwordValue(L"dword", 0x12345678));
    ASSERT_TRUE(storage_.SetQwordValue(L"qword", 0x0123456789ABCDEF));
    ASSERT_EQ(ERROR_SUCCESS, SetRaw(L"short", REG_QWORD, {1, 2, 3, 4}));
    EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, Bytes{0x78, 0x56, 0x34, 0x12}), GetRaw(L"dword"));
    EXPECT_EQ(std::make_pair(DWORD{REG_QWORD}, Bytes{0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}),
              GetRaw(L"qword"));
    EXPECT_EQ(0x12345678u, storage_.GetDwordValue(L"dword"));
    EXPECT_EQ(0x0123456789ABCDEFu, storage_.GetQwordValue(L"qword"));
    EXPECT_EQ(DWORD{ERROR_MORE_DATA}, CodeOf([&] { storage_.GetDwordValue(L"qword"); }));
    EXPECT_EQ(kInvalidData, CodeOf([&] { storage_.GetDwordValue(L"short"); }));
    EXPECT_EQ(kInvalidData, CodeOf([&] { storage_.GetQwordValue(L"short"); }));
    ASSERT_TRUE(storage_.SetStringValue(L"string", L"three"));
    DWORD error = 0xDEAD;
    EXPECT_EQ(L"three", storage_.GetStringValue(L"string", L"def", &error));
    EXPECT_EQ(0x12345678u, storage_.GetDwordValue(L"dword", 17, &error));
    EXPECT_EQ(0xDEADu, error);
    EXPECT_EQ(18u, storage_.GetQwordValue(L"dword", 18, &error));
    EXPECT_EQ(kInvalidData, error);
    EXPECT_EQ(0x0123456789ABCDEFu, storage_.GetQwordValue(L"qword", 18, &error));
    EXPECT_EQ(kInvalidData, error) << "untouched on success";
    EXPECT_EQ(L"def", Registry(kView64).GetStringValue(L"dword", L"def", &error));
    EXPECT_EQ(6u, error) << "closed";
    EXPECT_EQ(L"def", storage_.GetStringValue(L"missing", L"def", nullptr));

    ASSERT_EQ(ERROR_SUCCESS, SetRaw(L"big", REG_BINARY, Bytes(4096, 0x5A)));
    ByteBuffer big;
    EXPECT_EQ(kInvalidData, CodeOf([&] { storage_.GetBinaryValue(L"dword", big); }));
    ASSERT_TRUE(storage_.GetBinaryValue(L"big", big));
    ASSERT_TRUE(storage_.SetBinaryValue(L"copy", big));
    EXPECT_EQ(std::make_pair(DWORD{REG_BINARY}, Bytes(4096, 0x5A)), GetRaw(L"copy"));
    PROCESS_MEMORY_COUNTERS before{}, after{};
    for (int i = 0; i < 22000; ++i) {
        if (i == 2000) GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
        ASSERT_FALSE(storage_.GetBinaryValue(L"big", big, &error));
        ASSERT_EQ(DWORD{ERROR_OBJECT_ALREADY_EXISTS}, error);
        ASSERT_EQ(L"", storage_.GetStringValue(L"big", L"", &error));
    }
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + 4 * 1024 * 1024);
}

}  // namespace

namespace {

LSTATUS g_flushResult = ERROR_SUCCESS;
int g_flushes = 0;
LSTATUS WINAPI RecordFlush(HKEY) { return ++g_flushes, g_flushResult; }

}  // namespace

// A failure names its key and value. Close flushes only when asked; a failed
// flush leaves the key open. A deleted key stays open until Close.
TEST_F(RegistryValue, FailuresNameTheirValueAndCloseFlushesOnlyWhenAsked) {
    bool named = false;
    try {
        storage_.GetDwordValue(L"missing");
    } catch (BxCommon::Storage::RegException* e) {
        const std::unique_ptr<BxCommon::Storage::RegException> failure(e);
        named = failure->GetValueName() == L"missing" && failure->GetKeyPath().find(path_) != std::wstring::npos;
    }
    EXPECT_TRUE(named);

    const TestSupport::ImportPatch flush{"advapi32.dll", "RegFlushKey", reinterpret_cast<void*>(&RecordFlush)};
    g_flushResult = ERROR_ACCESS_DENIED;
    EXPECT_EQ(DWORD{ERROR_ACCESS_DENIED}, CodeOf([&] { storage_.Close(true); }));
    EXPECT_TRUE(storage_.SetDwordValue(L"still open", 1));
    g_flushResult = ERROR_SUCCESS;
    ASSERT_TRUE(storage_.Close(false));
    EXPECT_EQ(1, g_flushes);
    ASSERT_TRUE(storage_.Create(AsKey(), L"leaf"));
    ASSERT_TRUE(storage_.DeleteKey());
    EXPECT_EQ(kNothingThrown, CodeOf([&] { storage_.Close(true); }));
    EXPECT_EQ(2, g_flushes);
}

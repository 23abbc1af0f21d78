// Listing names and deleting values and keys.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_Registry.h"
#include "RegistryTestSupport.h"

using BxCommon::Storage::kView64;
using BxCommon::Storage::Registry;
using namespace RegistryTesting;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace {

using Names = std::vector<std::wstring>;
using Enumerate = bool (Registry::*)(Names&);

class RegistryEnum : public RegistryTestBase {
protected:
    void AddValue(const std::wstring& name) {
        const DWORD zero = 0;
        ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRaw(name, REG_DWORD, &zero, sizeof(zero)));
    }
    // The registry's own order, read with room for any name.
    Names RawValueNames() const {
        Names names;
        BxCommon::UniqueHKey key;
        RegOpenKeyExW(testKey_.Root(), testKey_.Path().c_str(), 0, KEY_QUERY_VALUE, key.Put());
        std::vector<wchar_t> name(16384);
        for (DWORD index = 0;; ++index) {
            DWORD capacity = static_cast<DWORD>(name.size());
            if (RegEnumValueW(key.Get(), index, name.data(), &capacity, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                return names;
            }
            names.emplace_back(name.data(), capacity);
        }
    }
    Registry storage_{kView64};
};

TEST_F(RegistryEnum, EmptyKeyLeavesTheListAsItWas) {
    ASSERT_TRUE(storage_.OpenForEnum(testKey_.AsKey(), L""));
    Names names{L"kept"};
    EXPECT_TRUE(storage_.EnumValueNames(names));
    EXPECT_TRUE(storage_.EnumSubKeys(names));
    EXPECT_THAT(names, ElementsAre(L"kept"));
}

TEST_F(RegistryEnum, AppendsEveryNameAfterWhatTheListHolds) {
    for (const wchar_t* name : {L"one", L"two", L"three"}) {
        AddValue(name);
        ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(std::wstring(L"Key-") + name));
    }
    ASSERT_TRUE(storage_.OpenForEnum(testKey_.AsKey(), L""));

    Names values{L"kept"};
    EXPECT_TRUE(storage_.EnumValueNames(values));
    ASSERT_EQ(4u, values.size());
    EXPECT_EQ(L"kept", values[0]);
    EXPECT_THAT(Names(values.begin() + 1, values.end()), UnorderedElementsAre(L"one", L"two", L"three"));

    Names keys;
    EXPECT_TRUE(storage_.EnumSubKeys(keys));
    EXPECT_THAT(keys, UnorderedElementsAre(L"Key-one", L"Key-two", L"Key-three"));
}

TEST_F(RegistryEnum, SecondListingAppendsEveryNameAgain) {
    for (const wchar_t* name : {L"a", L"b", L"c"}) AddValue(name);
    ASSERT_TRUE(storage_.OpenForEnum(testKey_.AsKey(), L""));
    Names names;
    ASSERT_TRUE(storage_.EnumValueNames(names));
    ASSERT_TRUE(storage_.EnumValueNames(names));
    ASSERT_EQ(6u, names.size());
    EXPECT_EQ(Names(names.begin(), names.begin() + 3), Names(names.begin() + 3, names.end()));
}

TEST_F(RegistryEnum, DefaultValueIsListedWithTheEmptyName) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRawString(L"", REG_SZ, L"default"));
    AddValue(L"named");
    ASSERT_TRUE(storage_.OpenForEnum(testKey_.AsKey(), L""));
    Names names;
    EXPECT_TRUE(storage_.EnumValueNames(names));
    EXPECT_THAT(names, UnorderedElementsAre(L"", L"named"));
}

TEST_F(RegistryEnum, NamesUpTo254CharactersFitTheBuffer) {
    const std::wstring longest(254, L'x');
    AddValue(longest);
    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(longest));
    ASSERT_TRUE(storage_.OpenForEnum(testKey_.AsKey(), L""));
    Names values;
    Names keys;
    EXPECT_TRUE(storage_.EnumValueNames(values));
    EXPECT_TRUE(storage_.EnumSubKeys(keys));
    EXPECT_THAT(values, ElementsAre(longest));
    EXPECT_THAT(keys, ElementsAre(longest));
}

TEST_F(RegistryEnum, ValueName255CharactersThrowsMoreDataAfterTheNamesBeforeIt) {
    // "a" and "b" sort before the long name, "zz" after it; the names that
    // come before it are whatever the registry lists first.
    for (const wchar_t* name : {L"a", L"b", L"zz"}) AddValue(name);
    const std::wstring tooLong = L"m" + std::wstring(254, L'x');
    AddValue(tooLong);
    const Names order = RawValueNames();
    Names expected{L"kept"};
    for (const std::wstring& name : order) {
        if (name == tooLong) break;
        expected.push_back(name);
    }

    ASSERT_TRUE(storage_.OpenForEnum(testKey_.AsKey(), L""));
    Names names{L"kept"};
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), CodeOf([&] { storage_.EnumValueNames(names); }));
    EXPECT_EQ(expected, names);
}

TEST_F(RegistryEnum, SubKeyName255CharactersThrowsMoreDataAfterTheNamesBeforeIt) {
    // Subkeys are listed in name order, so "a" comes first.
    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(L"a"));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(std::wstring(255, L'm')));
    ASSERT_TRUE(storage_.OpenForEnum(testKey_.AsKey(), L""));
    Names names;
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), CodeOf([&] { storage_.EnumSubKeys(names); }));
    EXPECT_THAT(names, ElementsAre(L"a"));
}

class RegistryDelete : public RegistryTestBase {};

TEST_F(RegistryDelete, NullNameDeletesTheDefaultValueOnly) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRawString(L"", REG_SZ, L"default"));
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRawString(L"named", REG_SZ, L"named"));
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForWrite(testKey_.AsKey(), L""));
    EXPECT_TRUE(storage.DeleteValue(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND), testKey_.GetRaw(L"").result);
    EXPECT_EQ(ERROR_SUCCESS, testKey_.GetRaw(L"named").result);
}

TEST_F(RegistryDelete, MissingValueThrowsThePlainStorageException) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.SetRawString(L"named", REG_SZ, L"named"));
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForWrite(testKey_.AsKey(), L""));
    EXPECT_TRUE(storage.DeleteValue(std::wstring(L"named")));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND), testKey_.GetRaw(L"named").result);

    for (int form = 0; form < 2; ++form) {
        auto raised = Raised([&] {
            if (form == 0) storage.DeleteValue(L"named");
            else storage.DeleteValue(std::wstring(L"named"));
        });
        ASSERT_NE(nullptr, raised);
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), raised->GetErrorCode());
        EXPECT_EQ(nullptr, dynamic_cast<BxCommon::Storage::RegException*>(raised.get()));
    }
}

TEST_F(RegistryDelete, DeletedKeyStaysOpenUntilClose) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(L"Doomed"));
    Registry storage(kView64);
    // Create's rights lack DELETE; deleting the open key works all the same.
    ASSERT_TRUE(storage.Create(testKey_.AsKey(), L"Doomed"));
    EXPECT_TRUE(storage.DeleteKey());
    EXPECT_FALSE(testKey_.Exists(L"Doomed"));
    EXPECT_EQ(testKey_ / L"Doomed", storage.GetPath());
    EXPECT_TRUE(storage.Close(false));
    EXPECT_EQ(L"", storage.GetPath());
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), CodeOf([&] { storage.Close(false); }));
}

TEST_F(RegistryDelete, KeyWithSubKeysIsNotDeleted) {
    ASSERT_EQ(ERROR_SUCCESS, testKey_.CreateSubKey(L"Parent\\Child"));
    Registry storage(kView64);
    ASSERT_TRUE(storage.OpenForWrite(testKey_.AsKey(), L"Parent"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), CodeOf([&] { storage.DeleteKey(); }));
    EXPECT_TRUE(testKey_.Exists(L"Parent\\Child"));
    EXPECT_TRUE(storage.SetDwordValue(L"still-open", 1));
}

}  // namespace

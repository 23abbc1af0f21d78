#include <gtest/gtest.h>

#include <algorithm>

#include "FakeJorvex.h"
#include "Tavrel/Json/CJsonValueHolder.h"

using Tavrel::Json::CJsonValueHolder;

class JsonValueHolder : public ::testing::Test {
protected:
    void SetUp() override { FakeJorvex::Reset(); }
};

TEST_F(JsonValueHolder, CreatedAndSharedHandlesAreReleasedOnceEach) {
    {
        CJsonValueHolder created;
        CJsonValueHolder shared(FakeJorvex::MakeHandle(7));
        EXPECT_TRUE(created.Owned());
        EXPECT_TRUE(shared.Owned());
        EXPECT_EQ(7u, FakeJorvex::Calls()[1].handleId);
    }
    auto owned = FakeJorvex::OwnedIds();
    auto destroyed = FakeJorvex::DestroyedIds();
    std::sort(owned.begin(), owned.end());
    std::sort(destroyed.begin(), destroyed.end());
    EXPECT_EQ(owned, destroyed);
    EXPECT_EQ(2u, destroyed.size());
}

TEST_F(JsonValueHolder, FailedCreateOrShareOwnsNothingAndReleasesNothing) {
    FakeJorvex::FailNext("Create", -1);
    FakeJorvex::FailNext("Share", -1);
    {
        CJsonValueHolder created;
        CJsonValueHolder shared(FakeJorvex::MakeHandle(7));
        EXPECT_FALSE(created.Owned());
        EXPECT_FALSE(shared.Owned());
        EXPECT_EQ(-1, shared.Result());
        // Operations still reach the library, with the default handle.
        EXPECT_EQ(1u, created.Handle().Words[0]);
        created.PutUInt(1);
        EXPECT_EQ("PutUInt", FakeJorvex::Calls().back().function);
    }
    EXPECT_EQ(0, FakeJorvex::CountOf("Destroy"));
}

TEST_F(JsonValueHolder, LookupsChainAndReplaceTheChildWithoutReleasingViews) {
    {
        CJsonValueHolder request(FakeJorvex::MakeHandle(7));
        CJsonValueHolder* taskParam = request.GetAtKey(L"TaskParam");
        CJsonValueHolder* list = taskParam->GetAtKey(L"PcAppStopList");
        CJsonValueHolder* element = list->GetAtIndex(3);
        EXPECT_FALSE(taskParam->Owned());
        EXPECT_EQ(FakeJorvex::Calls().back().outId, FakeJorvex::IdOf(element->Handle()));
        EXPECT_EQ(FakeJorvex::IdOf(taskParam->Handle()), FakeJorvex::Calls()[2].handleId);

        // A second lookup through the request replaces the whole chain.
        FakeJorvex::FailNext("GetAtKey", -3);
        CJsonValueHolder* missing = request.GetAtKey(L"Missing");
        EXPECT_EQ(-3, request.Result());
        EXPECT_EQ(0, missing->Result());
        EXPECT_EQ(1u, missing->Handle().Words[0]) << "a failed lookup leaves a view of the default handle";
    }
    EXPECT_EQ(std::vector<uint64_t>{FakeJorvex::OwnedIds()[0]}, FakeJorvex::DestroyedIds());
}

TEST_F(JsonValueHolder, EmptyStringTakesOneCallAndFiveCharactersGetASixUnitBuffer) {
    CJsonValueHolder value(FakeJorvex::MakeHandle(7));
    FakeJorvex::SetString(L"");
    EXPECT_EQ(L"", value.GetString());
    EXPECT_EQ(1, FakeJorvex::CountOf("GetString"));

    FakeJorvex::SetString(L"hello");
    EXPECT_EQ(L"hello", value.GetString());
    ASSERT_EQ(3, FakeJorvex::CountOf("GetString"));
    EXPECT_EQ(0u, FakeJorvex::Calls()[2].number) << "the length is preset to 0";
    EXPECT_EQ(6u, FakeJorvex::Calls()[3].number) << "the second call gets the capacity with the terminator";
}

TEST_F(JsonValueHolder, FailedStringReadsGiveAnEmptyString) {
    CJsonValueHolder value(FakeJorvex::MakeHandle(7));
    FakeJorvex::SetString(L"text");
    FakeJorvex::FailNext("GetString", -4);
    EXPECT_EQ(L"", value.GetString());
    EXPECT_EQ(-4, value.Result());
    EXPECT_EQ(1, FakeJorvex::CountOf("GetString"));
}

TEST_F(JsonValueHolder, FailedNumberReadLeavesThePreset) {
    CJsonValueHolder request(FakeJorvex::MakeHandle(7));
    uint32_t value = 42;
    request.GetAtKey(L"TaskID")->GetUInt(value);
    EXPECT_EQ(42u, value);
    FakeJorvex::SetUInt(L"TaskID", 9);
    CJsonValueHolder* taskId = request.GetAtKey(L"TaskID");
    taskId->GetUInt(value);
    EXPECT_EQ(9u, value);
    EXPECT_EQ(0, taskId->Result());
}

TEST_F(JsonValueHolder, PutsPassTheHoldersHandlesAndRecordTheStatus) {
    CJsonValueHolder target(FakeJorvex::MakeHandle(7));
    CJsonValueHolder source;
    FakeJorvex::FailNext("PutJsonHandle", -5);
    EXPECT_EQ(-5, target.PutJsonHandle(source));
    EXPECT_EQ(-5, target.Result());
    const auto& put = FakeJorvex::Calls().back();
    EXPECT_EQ(FakeJorvex::IdOf(target.Handle()), put.handleId);
    EXPECT_EQ(FakeJorvex::IdOf(source.Handle()), put.outId);
    EXPECT_EQ(0, target.PutBool(true));
    EXPECT_EQ(1u, FakeJorvex::Calls().back().number);
}

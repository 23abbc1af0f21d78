// The holder over the real JSON library: it releases each handle it owns
// once and never a view, and falls back as its header says when the library
// fails.
#include <gtest/gtest.h>

#include "JorvexWatch.h"
#include "Tavrel/Json/CJsonValueHolder.h"
#include "tavrel-host/OwnedJson.h"

using Tavrel::Json::CJsonValueHolder;
using TavrelHost::OwnedJson;

class JsonValueHolder : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(liveBefore_, VESK_PA_JsonValue_GetLiveHandleCount()) << "a handle outlived its holder";
        EXPECT_EQ(0, library_.RefusedReleases()) << "a view or a released handle was released";
    }

    OwnedJson source_{L"{\"TaskParam\":{\"PcAppStopList\":[1,2,3,4]},\"Name\":\"hello\",\"Empty\":\"\"}"};
    const uint32_t liveBefore_ = VESK_PA_JsonValue_GetLiveHandleCount();
    TestSupport::JorvexWatch library_;
};

TEST_F(JsonValueHolder, OwnsCreatedAndSharedHandlesAndLooksUpThroughViews) {
    CJsonValueHolder created;
    CJsonValueHolder shared(*source_.Get());
    EXPECT_TRUE(created.Owned() && shared.Owned());
    EXPECT_EQ(liveBefore_ + 2, VESK_PA_JsonValue_GetLiveHandleCount());

    CJsonValueHolder* element = shared.GetAtKey(L"TaskParam")->GetAtKey(L"PcAppStopList")->GetAtIndex(3);
    EXPECT_FALSE(element->Owned());
    uint32_t value = 0;
    element->GetUInt(value);
    EXPECT_EQ(4u, value) << "the share designates the source's value";
    // A new lookup through the parent replaces the whole chain of views.
    EXPECT_EQ(JORVEX_E_NOT_FOUND, (shared.GetAtKey(L"Missing"), shared.Result()));
}

TEST_F(JsonValueHolder, FailedCreateOrShareOwnsNothingAndReleasesNothing) {
    library_.FailNextCreate(JORVEX_E_NO_MEMORY);
    library_.FailNextShare(JORVEX_E_NO_MEMORY);
    CJsonValueHolder created;
    CJsonValueHolder shared(*source_.Get());
    EXPECT_FALSE(created.Owned() || shared.Owned());
    EXPECT_EQ(JORVEX_E_NO_MEMORY, shared.Result());
    // Operations still reach the library, with the default handle.
    EXPECT_EQ(1u, created.Handle().Words[0]);
    EXPECT_EQ(JORVEX_E_BAD_HANDLE, created.PutUInt(1));
}

TEST_F(JsonValueHolder, StringsAreReadWithTheLengthPresetAndRoomForTheTerminator) {
    CJsonValueHolder value(*source_.Get());
    EXPECT_EQ(L"hello", value.GetAtKey(L"Name")->GetString());
    EXPECT_EQ((std::vector<uint32_t>{0, 6}), library_.StringLengthsPassed());
    EXPECT_EQ(L"", value.GetAtKey(L"Empty")->GetString());
    EXPECT_EQ(3u, library_.StringLengthsPassed().size()) << "an empty string takes one call";

    CJsonValueHolder* notText = value.GetAtKey(L"TaskParam");
    EXPECT_EQ(L"", notText->GetString());
    EXPECT_EQ(JORVEX_E_WRONG_TYPE, notText->Result());
}

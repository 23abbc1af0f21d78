// The export must not let a C++ exception reach the host.
#include <gtest/gtest.h>

#include <algorithm>

#include "FakeJorvex.h"
#include "FakeQuennet.h"
#include "Tavrel/Plugin/TavrelInterface.h"

TEST(ExceptionBoundary, ExceptionFromTheCallIsLoggedOnceAndSuccessIsReturned) {
    FakeJorvex::Reset();
    FakeJorvex::ThrowOnKey(L"TaskID");
    FakeQuennet::Reset(0x1234, 2);
    JsonHandle request = FakeJorvex::MakeHandle(1);
    JsonHandle response = FakeJorvex::MakeHandle(2);

    EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(&request, &response));

    EXPECT_EQ((std::vector<std::wstring>{L"==> Interface_FastCall_CallFunc",
                                         L"Interface_FastCall_CallFunc() caught an exception: injected failure",
                                         L"<== Interface_FastCall_CallFunc"}),
              FakeQuennet::Texts());
    EXPECT_EQ(5u, FakeQuennet::Messages()[1].level);
    // Unwinding released both shared handles, and nothing was written back.
    auto owned = FakeJorvex::OwnedIds();
    auto destroyed = FakeJorvex::DestroyedIds();
    std::sort(owned.begin(), owned.end());
    std::sort(destroyed.begin(), destroyed.end());
    EXPECT_EQ(owned, destroyed);
    EXPECT_EQ(2u, owned.size());
    for (const auto& call : FakeJorvex::Calls()) EXPECT_NE(0u, call.function.find("Put")) << call.function;
}

TEST(ExceptionBoundary, AFailedShareIsNotReleased) {
    FakeJorvex::Reset();
    FakeQuennet::Reset(0, 0);
    FakeJorvex::FailNext("Share", -1);  // the request's share
    JsonHandle request = FakeJorvex::MakeHandle(1);
    JsonHandle response = FakeJorvex::MakeHandle(2);
    EXPECT_EQ(0x20ff0000u, Interface_FastCall_CallFunc(&request, &response));
    auto owned = FakeJorvex::OwnedIds();
    auto destroyed = FakeJorvex::DestroyedIds();
    std::sort(owned.begin(), owned.end());
    std::sort(destroyed.begin(), destroyed.end());
    EXPECT_EQ(owned, destroyed);
    EXPECT_EQ(static_cast<size_t>(FakeJorvex::CountOf("Share")), owned.size() + 1);
}

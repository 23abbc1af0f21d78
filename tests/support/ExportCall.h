// One request through the plug-in's Interface_FastCall_CallFunc, linked in or
// a loaded module's, with the real JSON library (link TavrelHostSession).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tavrel-host/OwnedJson.h"

namespace TestSupport {

// The response's text after `callFunc` took `request` with `response`. The
// export must answer 0x20ff0000 and release every JSON handle it made (so
// one caller at a time).
template <typename CallFunc>
std::wstring SendThrough(CallFunc callFunc, const std::wstring& request, const std::wstring& response = L"{}") {
    TavrelHost::OwnedJson requestValue(request), responseValue(response);
    const uint32_t live = VESK_PA_JsonValue_GetLiveHandleCount();
    EXPECT_EQ(0x20ff0000u, callFunc(requestValue.Get(), responseValue.Get())) << request;
    EXPECT_EQ(live, VESK_PA_JsonValue_GetLiveHandleCount()) << "handles left by " << request;
    return responseValue.ToText();
}

}  // namespace TestSupport

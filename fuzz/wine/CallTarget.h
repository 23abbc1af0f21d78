// Hostile requests through the real Interface_FastCall_CallFunc of the
// Tavrel.dll beside the executable, loaded as the suite's host loads it.
// Each call must answer 0x20ff0000, leave the request as it was, leave the
// response as it was unless it runs task 1 (which then only sets
// "PcAppCtrlAppList" to the list that a plain task-1 call gave at the
// start), and leave the live JSON-handle count as it found it.
#pragma once

#include <memory>

#include "FuzzJson.h"
#include "RequestGenerator.h"
#include "Runner.h"
#include "tavrel-host/HostSession.h"

namespace WineFuzz {

class CallTarget : public Target {
public:
    explicit CallTarget(uint64_t seed);

    std::wstring Kind() const override { return L"call"; }
    CaseFields Generate() override;
    std::wstring Check(const CaseFields& fields) override;
    std::wstring Figures() const override;

private:
    // The response expected after the call, as text.
    std::wstring ExpectedResponse(const FuzzJson& response, bool runsTaskOne) const;

    RequestGenerator generator_;
    TavrelHost::ComApartment apartment_;
    TavrelHost::PluginModule plugin_;
    // The list of a plain task-1 call; null when it listed nothing.
    std::unique_ptr<FuzzJson> referenceList_;
    uint32_t startHandles_ = 0;
    uint64_t taskOneCalls_ = 0;
};

}  // namespace WineFuzz

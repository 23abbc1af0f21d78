// One application of the Start Menu, with the fields that the feature's
// settings edit per application.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

struct PcAppCtrlItem {
    bool bSelected = false;
    uint32_t uAppType = 0;
    std::wstring tsFileName;      // the shortcut's own name, extension included
    std::wstring tsFilePath;      // the target, environment references expanded
    std::wstring tsFolderPrefix;  // the same as tsFilePath
    std::wstring tsFileSHA1;      // not computed by the scan
    std::wstring tsFileDesc;      // the shortcut's description
    bool bDailyScheduleEnable = false;
    std::list<std::list<uint32_t>> lstDailySchedule;  // one list per day
};

using PcAppCtrlList = std::list<PcAppCtrlItem>;

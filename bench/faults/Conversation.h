// Requests to the plug-in and what its task-1 answers hold, for the cases.
#pragma once

#include <string>
#include <vector>

#include "Verdict.h"

namespace Faults {

inline constexpr wchar_t kListRequest[] = L"{\"TaskID\":1}";
// Task 0 for process ids that no process can have (not multiples of four),
// so no window anywhere is asked to close.
std::wstring StopRequest();

struct ListedApp {
    std::wstring name;  // PcAppCtrlFileName
    std::wstring path;  // PcAppCtrlFilePath
};

struct AppList {
    bool present = false;  // the response has "PcAppCtrlAppList"
    std::vector<ListedApp> apps;

    std::vector<std::wstring> Names() const;
};

// The list in a task-1 response; throws TavrelHost::HostError when the
// response is not a JSON object or the list is not an array of objects.
AppList ReadAppList(const std::wstring& response);

// One load of the plug-in as the host makes it, one task-1 call (its time to
// *seconds when given), and the unload; the status goes into `verdict`.
AppList ListApplications(Verdict& verdict, double* seconds = nullptr);

}  // namespace Faults

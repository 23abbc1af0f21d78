// One file of a Start Menu examined the way the application list examines
// it, step by step, with the list's log lines: the scan lists a file when
// its outcome is kListed, and tools use the same steps to say why a file is
// or is not listed.
#pragma once

#include <string>

#include "Common/Source/AppFilterReport.h"

namespace Tavrel::StartMenu {

enum class AppOutcome {
    kListed,
    kNotExecutable,  // ".exe" is nowhere in the lower-cased target
    kTargetMissing,  // the expanded target is empty or does not exist
    kFiltered,       // the filter left it out (see `filter`)
};

struct AppExamination {
    bool resolved = false;     // the file resolved as a shortcut
    std::wstring target;       // as the shortcut stores it
    std::wstring description;  // the shortcut's description
    std::wstring expanded;     // the target with %NAME% references replaced
    AppOutcome outcome = AppOutcome::kNotExecutable;
    ParentControl::FilterReport filter;  // what the filter looked at, when reached
};

// Resolves the file as a shortcut (a file that does not resolve has an empty
// target), then examines its target (ExamineTarget).
AppExamination ExamineShortcut(const std::wstring& path);

// The steps after resolution, in order, stopping at the first that drops the
// target: the ".exe" test, the %NAME% expansion, the existence of the
// expanded target (a wildcard does not exist), and the filter
// (CParentControlCommon::IsFilteredApp), which sees the target as stored.
AppExamination ExamineTarget(const std::wstring& target, const std::wstring& description);

}  // namespace Tavrel::StartMenu

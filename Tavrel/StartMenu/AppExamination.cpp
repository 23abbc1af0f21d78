#include "Tavrel/StartMenu/AppExamination.h"

#include <windows.h>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Common/BxCommon/InstComn_ShellLink.h"
#include "Common/Source/ParentControlCommon.h"
#include "Common/Source/PathText.h"
#include "Tavrel/Log/LogGate.h"
#include "Tavrel/StartMenu/ExpandPathVariables.h"

namespace Tavrel::StartMenu {
namespace {

constexpr DWORD kResolveTimeoutMs = 100;

// Whether `path` names an existing file or folder exactly. A wildcard ("*"
// or "?", which no file name can hold) would make FindFirstFileW find some
// other file; the long-path prefix "\\?\" is no wildcard.
bool Exists(const std::wstring& path) {
    const size_t afterPrefix = path.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
    if (path.find_first_of(L"*?", afterPrefix) != std::wstring::npos) return false;
    WIN32_FIND_DATAW data;
    return static_cast<bool>(BxCommon::UniqueFindHandle(FindFirstFileW(path.c_str(), &data)));
}

}  // namespace

AppExamination ExamineShortcut(const std::wstring& path) {
    std::wstring target, description;
    const bool resolved = InstCommon::Utility::ShellLink::ResolveShortcut(path, target, description, kResolveTimeoutMs);
    if (!resolved) TAVREL_LOG(5, L"InstCommon::Utility::ShellLink::ResolveShortcut() failed:");
    AppExamination examination = ExamineTarget(target, description);
    examination.resolved = resolved;
    return examination;
}

AppExamination ExamineTarget(const std::wstring& target, const std::wstring& description) {
    AppExamination examination;
    examination.target = target;
    examination.description = description;
    const std::wstring lowerTarget = ParentControl::LowerCaseLetters(target);
    if (lowerTarget.find(L".exe") == std::wstring::npos) {
        TAVREL_LOG(2, L"Filter non-exe file --- " << lowerTarget);
        examination.outcome = AppOutcome::kNotExecutable;
        return examination;
    }
    examination.expanded = ExpandPathVariables(target);
    if (examination.expanded.empty() || !Exists(examination.expanded)) {
        TAVREL_LOG(2, L"Filter no-exist file --- " << examination.expanded);
        examination.outcome = AppOutcome::kTargetMissing;
        return examination;
    }
    // The filter sees the target as the shortcut stores it, not expanded.
    if (CParentControlCommon::IsFilteredApp(target, examination.filter)) {
        TAVREL_LOG(2, L"Filter system file --- " << target);
        examination.outcome = AppOutcome::kFiltered;
        return examination;
    }
    examination.outcome = AppOutcome::kListed;
    return examination;
}

}  // namespace Tavrel::StartMenu

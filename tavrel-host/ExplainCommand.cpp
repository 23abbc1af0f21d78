#include <windows.h>

#include "Common/BxCommon/BxComn_UniqueResource.h"
#include "Tavrel/StartMenu/AppExamination.h"
#include "tavrel-host/Commands.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/Explanation.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/HostSession.h"
#include "tavrel-host/PluginModule.h"

namespace TavrelHost {
namespace {

bool EndsWithLnk(const std::wstring& path) {
    return path.size() >= 4 && CompareStringOrdinal(path.c_str() + path.size() - 4, 4, L".lnk", 4, TRUE) == CSTR_EQUAL;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The list examines every file of the Start Menu as a shortcut; a file that
// does not resolve and is not named as one is taken as an application path,
// examined as the target of a shortcut would be.
Explanation ExplainFile(const std::wstring& path) {
    Tavrel::StartMenu::AppExamination examination = Tavrel::StartMenu::ExamineShortcut(path);
    if (examination.resolved || EndsWithLnk(path)) return Explain(path, true, examination);
    return Explain(path, false, Tavrel::StartMenu::ExamineTarget(path, L""));
}

}  // namespace

int RunExplain(const Arguments& arguments) {
    Arguments paths;
    bool asJson = false;
    for (const std::wstring& argument : arguments) {
        if (argument == L"--json") {
            asJson = true;
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.empty()) throw HostError(L"explain takes one or more shortcut or application files");
    for (const std::wstring& path : paths) {
        if (!IsFile(path)) throw HostError(L"'" + path + L"' is neither a shortcut nor an application file");
    }

    // The examination logs as the plug-in does, through the delay-loaded
    // logging service: it must be there before the first line asks for it.
    const BxCommon::UniqueHModule logging(LoadLibraryW(L"Quennet.dll"));
    if (!logging) {
        throw HostError(L"cannot load Quennet.dll, the suite's logging service (Windows error " +
                        std::to_wstring(GetLastError()) + L")");
    }
    ComApartment apartment;  // shortcuts are shell objects
    for (const std::wstring& path : paths) {
        const Explanation explanation = ExplainFile(path);
        WriteOut(asJson ? ExplanationJson(explanation) + L"\n" : ExplanationText(explanation));
    }
    return 0;
}

}  // namespace TavrelHost

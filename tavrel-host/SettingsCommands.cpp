#include "tavrel-host/Commands.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/ProductSettings.h"

namespace TavrelHost {

int RunProductPath(const Arguments& arguments) {
    if (arguments.size() > 1) throw HostError(L"product-path takes at most one folder");
    if (arguments.size() == 1) {
        WriteProductPath(arguments[0]);
        WriteOut(L"ProductPath set to " + arguments[0] + L"\n");
        return 0;
    }
    std::optional<std::wstring> folder = ReadProductPath();
    WriteOut(folder ? *folder + L"\n" : std::wstring(L"(not set)\n"));
    return 0;
}

int RunExceptions(const Arguments& arguments) {
    const std::wstring action = arguments.empty() ? L"" : arguments[0];
    if (action == L"list" && arguments.size() == 1) {
        std::vector<ExceptionFolder> folders = ReadExceptionFolders();
        if (folders.empty()) WriteOut(L"(no exception folders)\n");
        for (const ExceptionFolder& entry : folders) {
            WriteOut(entry.valueName + L": " + (entry.folder ? *entry.folder : L"(does not decrypt)") + L"\n");
        }
        return 0;
    }
    if (action == L"add" && arguments.size() == 2) {
        std::wstring name = AddExceptionFolder(arguments[1]);
        WriteOut(L"added " + arguments[1] + L" as " + name + L"\n");
        return 0;
    }
    if (action == L"remove" && arguments.size() == 2) {
        int removed = RemoveExceptionFolder(arguments[1]);
        if (removed == 0) throw HostError(L"no exception folder " + arguments[1]);
        WriteOut(L"removed " + std::to_wstring(removed) + L" value(s)\n");
        return 0;
    }
    throw HostError(L"exceptions takes: add PATH | list | remove PATH");
}

}  // namespace TavrelHost

#include "tavrel-host/PluginModule.h"

#include "tavrel-host/HostError.h"

namespace TavrelHost {

std::wstring ModuleFileName(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        // A path that does not fit comes back cut to the buffer's size.
        DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw HostError(L"cannot read a loaded module's path (Windows error " + std::to_wstring(GetLastError()) +
                            L")");
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ExecutableFolder() {
    std::wstring path = ModuleFileName(nullptr);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

void UseStandInsFolder() {
    // A missing stand-ins folder is simply not searched.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    AddDllDirectory((ExecutableFolder() + kStandInsFolder).c_str());
}

PluginModule::PluginModule() : path_(ExecutableFolder() + L"Tavrel.dll") {
    module_.Reset(LoadLibraryW(path_.c_str()));
    if (!module_) {
        throw HostError(L"cannot load " + path_ + L" (Windows error " + std::to_wstring(GetLastError()) + L")");
    }
    versioning_ = Resolve<PFN_Interface_FastCall_Versioning>("Interface_FastCall_Versioning");
    initialize_ = Resolve<PFN_Interface_FastCall_Initialize>("Interface_FastCall_Initialize");
    uninitialize_ = Resolve<PFN_Interface_FastCall_Uninitialize>("Interface_FastCall_Uninitialize");
    callFunc_ = Resolve<PFN_Interface_FastCall_CallFunc>("Interface_FastCall_CallFunc");
}

FARPROC PluginModule::ResolveAddress(const char* name) const {
    FARPROC function = GetProcAddress(module_.Get(), name);
    if (function == nullptr) {
        std::wstring wideName(name, name + strlen(name));
        throw HostError(path_ + L" does not export " + wideName);
    }
    return function;
}

}  // namespace TavrelHost

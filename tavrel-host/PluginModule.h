// Tavrel.dll loaded the way the suite's host loads it: from the host's own
// folder, with its four exports resolved by name.
#pragma once

#include <windows.h>

#include <string>

#include "Common/BxCommon/BxComn_UniqueResource.h"

#include "Tavrel/Plugin/TavrelInterface.h"

namespace TavrelHost {

class PluginModule {
public:
    // Loads Tavrel.dll from the host's folder.
    // Throws HostError naming the file or export that is missing.
    PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const std::wstring& Path() const { return path_; }
    HMODULE Handle() const { return module_.Get(); }
    DWORD Versioning(DWORD* version) const { return versioning_(version); }
    DWORD Initialize() const { return initialize_(); }
    DWORD Uninitialize() const { return uninitialize_(); }
    DWORD CallFunc(JsonHandle* request, JsonHandle* response) const { return callFunc_(request, response); }

private:
    FARPROC ResolveAddress(const char* name) const;
    template <typename Function>
    Function Resolve(const char* name) const {
        // Through a generic function type: GetProcAddress cannot know the real one.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(ResolveAddress(name)));
    }

    std::wstring path_;
    BxCommon::UniqueHModule module_;
    PFN_Interface_FastCall_Versioning versioning_ = nullptr;
    PFN_Interface_FastCall_Initialize initialize_ = nullptr;
    PFN_Interface_FastCall_Uninitialize uninitialize_ = nullptr;
    PFN_Interface_FastCall_CallFunc callFunc_ = nullptr;
};

// The file a loaded module was mapped from (nullptr: the executable), as the
// loader saw it. Throws HostError when Windows cannot tell.
std::wstring ModuleFileName(HMODULE module);

// The folder of the running executable, with a trailing separator.
std::wstring ExecutableFolder();

// Where a release keeps our stand-ins for the suite's platform libraries
// (Jorvex.dll, Quennet.dll), below the host's folder, apart from what ships.
inline constexpr wchar_t kStandInsFolder[] = L"standins";

// Limits this process's DLL search to the host's folder, the system folder
// and the stand-ins folder (never the current folder or PATH). Called once,
// first thing in the host tool, before anything can load a DLL: the plug-in,
// its imports and the delay-loaded platform libraries are all found so.
void UseStandInsFolder();

}  // namespace TavrelHost

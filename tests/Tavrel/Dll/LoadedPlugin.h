// Tavrel.dll from the build folder, loaded for one test and freed after it,
// with the logging service's level set through its environment variable.
// Freeing the module also unloads the logging service, so every test starts
// a fresh one.
#pragma once

#include <windows.h>

#include <string>

#include "Tavrel/Plugin/TavrelInterface.h"

namespace TestSupport {

class LoadedPlugin {
public:
    explicit LoadedPlugin(const wchar_t* logLevel = L"2");
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    HMODULE Module() const { return module_; }
    PFN_Interface_FastCall_Versioning versioning = nullptr;
    PFN_Interface_FastCall_Initialize initialize = nullptr;
    PFN_Interface_FastCall_Uninitialize uninitialize = nullptr;
    PFN_Interface_FastCall_CallFunc callFunc = nullptr;

private:
    HMODULE module_ = nullptr;
};

}  // namespace TestSupport

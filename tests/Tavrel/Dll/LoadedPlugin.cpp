#include "LoadedPlugin.h"

#include <gtest/gtest.h>

#include "ChildProcess.h"

namespace TestSupport {
namespace {

template <typename Function>
void Resolve(HMODULE module, Function* function, const char* name) {
    *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    EXPECT_NE(nullptr, *function) << name;
}

}  // namespace

LoadedPlugin::LoadedPlugin(const wchar_t* logLevel) {
    SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", logLevel);
    module_ = LoadLibraryW((BinaryFolder() + L"Tavrel.dll").c_str());
    EXPECT_NE(nullptr, module_) << "LoadLibraryW: " << GetLastError();
    if (module_ == nullptr) return;
    Resolve(module_, &versioning, "Interface_FastCall_Versioning");
    Resolve(module_, &initialize, "Interface_FastCall_Initialize");
    Resolve(module_, &uninitialize, "Interface_FastCall_Uninitialize");
    Resolve(module_, &callFunc, "Interface_FastCall_CallFunc");
}

LoadedPlugin::~LoadedPlugin() {
    if (module_ != nullptr) FreeLibrary(module_);
    SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", nullptr);
}

}  // namespace TestSupport

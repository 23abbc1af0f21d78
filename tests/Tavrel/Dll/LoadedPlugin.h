// Tavrel.dll loaded as the host tool loads it, for one test, with the logging
// service's level set through its environment variable before the load
// starts the service. Freeing the module also unloads the service, so every
// test starts a fresh one.
#pragma once

#include <windows.h>

#include "tavrel-host/PluginModule.h"

namespace TestSupport {

class LogLevelSetting {
public:
    explicit LogLevelSetting(const wchar_t* level) { SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", level); }
    ~LogLevelSetting() { SetEnvironmentVariableW(L"QUENNET_LOG_LEVEL", nullptr); }
    LogLevelSetting(const LogLevelSetting&) = delete;
    LogLevelSetting& operator=(const LogLevelSetting&) = delete;
};

// The setting comes first, so it is made before the load and undone after
// the module is freed.
class LoadedPlugin : private LogLevelSetting, public TavrelHost::PluginModule {
public:
    explicit LoadedPlugin(const wchar_t* logLevel = L"2") : LogLevelSetting(logLevel) {}
};

}  // namespace TestSupport

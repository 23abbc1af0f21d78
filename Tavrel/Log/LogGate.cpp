#include "Tavrel/Log/LogGate.h"

namespace Tavrel::Log {

bool IsWanted(uint32_t level) {
    QuennetHandle handle = Log_GetDefaultHandle();
    if (handle == nullptr) return false;
    uint32_t configured = Log_GetLogLevel(handle, kModuleName);
    return configured != 0 && configured <= level;
}

}  // namespace Tavrel::Log

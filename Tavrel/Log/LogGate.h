// The gate in front of every message: the service is asked afresh each time
// whether this module wants a message of the level, and nothing of the
// message is formatted unless it does.
//
//   TAVREL_LOG(2, L"dwTaskId = " << taskId);
#pragma once

#include <cstdint>

#include "Tavrel/Log/LogBuffer.h"
#include "Tavrel/Log/LogRecord.h"

namespace Tavrel::Log {

// True when a service runs and the module's configured level is non-zero and
// not above `level`.
bool IsWanted(uint32_t level);

}  // namespace Tavrel::Log

#define TAVREL_LOG_WIDEN2(text) L##text
#define TAVREL_LOG_WIDEN(text) TAVREL_LOG_WIDEN2(text)
// Source paths are relative to the repository (see -ffile-prefix-map).
#define TAVREL_LOG_SOURCE TAVREL_LOG_WIDEN(__FILE__)

#define TAVREL_LOG(level, message)                                                                     \
    do {                                                                                               \
        if (::Tavrel::Log::IsWanted(level)) {                                                          \
            ::Tavrel::Log::LogBuffer tavrelLogBuffer;                                                  \
            tavrelLogBuffer << message;                                                                \
            ::Tavrel::Log::LogRecord(::Tavrel::Log::kModuleName, (level), TAVREL_LOG_SOURCE, __LINE__) \
                .Flush(tavrelLogBuffer);                                                               \
        }                                                                                              \
    } while (false)

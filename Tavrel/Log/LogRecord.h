// Where one message goes: the logging service's handle, the module, the
// level and the source position. Built only after the gate has passed.
#pragma once

#include <cstdint>

#include "Platform/Quennet/include/Quennet/Log.h"
#include "Tavrel/Log/LogBuffer.h"
#include "Tavrel/Log/TraceText.h"

namespace Tavrel::Log {

// Every message and level query of this module carries this name.
inline constexpr wchar_t kModuleName[] = L"Tavrel";

class LogRecord {
public:
    // Reads the service handle afresh; sourceFile must outlive the record.
    LogRecord(const wchar_t* moduleName, uint32_t level, const wchar_t* sourceFile, uint32_t line);

    // Hands the text to the service in one call (a null text pointer and a
    // byte count of 0 for an empty buffer). Nothing happens without a service.
    void Flush(const LogBuffer& buffer) const;

private:
    QuennetHandle handle_;
    TraceText moduleName_;
    uint32_t level_;
    const wchar_t* sourceFile_;
    uint32_t line_;
};

}  // namespace Tavrel::Log

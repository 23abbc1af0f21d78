#include "Tavrel/Log/ScopeTrace.h"

namespace Tavrel::Log {

ScopeTrace::ScopeTrace(const wchar_t* moduleName, const wchar_t* functionName, const wchar_t* sourceFile,
                       uint32_t line)
    : functionName_(functionName), moduleName_(moduleName), sourceFile_(sourceFile) {
    Write(L"==> ", line);
}

ScopeTrace::~ScopeTrace() {
    try {
        Write(L"<== ", 0);
    } catch (...) {
        // Out of memory while leaving a function: the exit line is lost, the
        // caller's own outcome is not.
    }
}

void ScopeTrace::Write(const wchar_t* arrow, uint32_t line) const {
    if (!IsWanted(kTraceLevel)) return;
    LogBuffer buffer;
    buffer << arrow << functionName_;
    LogRecord(moduleName_.c_str(), kTraceLevel, sourceFile_.c_str(), line).Flush(buffer);
}

}  // namespace Tavrel::Log

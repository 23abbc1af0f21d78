#include "Tavrel/Log/ScopeTrace.h"

namespace Tavrel::Log {

ScopeTrace::ScopeTrace(const wchar_t* moduleName, const wchar_t* functionName, const wchar_t* sourceFile,
                       uint32_t line) noexcept
    : functionName_(functionName), moduleName_(moduleName), sourceFile_(sourceFile) {
    Write(L"==> ", line);
}

ScopeTrace::~ScopeTrace() { Write(L"<== ", 0); }

void ScopeTrace::Write(const wchar_t* arrow, uint32_t line) const noexcept {
    try {
        if (!IsWanted(kTraceLevel)) return;
        LogBuffer buffer;
        buffer << arrow << functionName_.c_str();
        LogRecord(moduleName_.c_str(), kTraceLevel, sourceFile_.c_str(), line).Flush(buffer);
    } catch (...) {
        // No memory for the line's text: the line is lost, the traced
        // function's own outcome is not.
    }
}

}  // namespace Tavrel::Log

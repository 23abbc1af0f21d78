// Logs "==> name" when a traced function starts and "<== name" (with line 0)
// when it is left, normally or by an exception. Declare it first:
//
//   TAVREL_SCOPE_TRACE(L"CParentControlProcessHelper::CloseProcessInList");
//
// A trace never throws and allocates nothing for ordinary names: a line that
// cannot be written (no memory for its text) is dropped, and the traced
// function runs all the same.
#pragma once

#include <cstdint>

#include "Tavrel/Log/LogGate.h"
#include "Tavrel/Log/TraceText.h"

namespace Tavrel::Log {

inline constexpr uint32_t kTraceLevel = 2;

class ScopeTrace {
public:
    ScopeTrace(const wchar_t* moduleName, const wchar_t* functionName, const wchar_t* sourceFile,
               uint32_t line) noexcept;
    ~ScopeTrace();

    ScopeTrace(const ScopeTrace&) = delete;
    ScopeTrace& operator=(const ScopeTrace&) = delete;

private:
    void Write(const wchar_t* arrow, uint32_t line) const noexcept;

    TraceText functionName_;
    TraceText moduleName_;
    TraceText sourceFile_;
};

}  // namespace Tavrel::Log

#define TAVREL_SCOPE_TRACE(functionName) \
    ::Tavrel::Log::ScopeTrace tavrelScopeTrace(::Tavrel::Log::kModuleName, functionName, TAVREL_LOG_SOURCE, __LINE__)

// Logs "==> name" when a traced function starts and "<== name" (with line 0)
// when it is left, normally or by an exception. Declare it first:
//
//   TAVREL_SCOPE_TRACE(L"CParentControlProcessHelper::CloseProcessInList");
#pragma once

#include <cstdint>
#include <string>

#include "Tavrel/Log/LogGate.h"

namespace Tavrel::Log {

inline constexpr uint32_t kTraceLevel = 2;

class ScopeTrace {
public:
    ScopeTrace(const wchar_t* moduleName, const wchar_t* functionName, const wchar_t* sourceFile, uint32_t line);
    // Never throws: a trace that cannot be written is dropped.
    ~ScopeTrace();

    ScopeTrace(const ScopeTrace&) = delete;
    ScopeTrace& operator=(const ScopeTrace&) = delete;

private:
    void Write(const wchar_t* arrow, uint32_t line) const;

    std::wstring functionName_;
    std::wstring moduleName_;
    std::wstring sourceFile_;
};

}  // namespace Tavrel::Log

#define TAVREL_SCOPE_TRACE(functionName) \
    ::Tavrel::Log::ScopeTrace tavrelScopeTrace(::Tavrel::Log::kModuleName, functionName, TAVREL_LOG_SOURCE, __LINE__)

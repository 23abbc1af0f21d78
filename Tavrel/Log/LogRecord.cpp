#include "Tavrel/Log/LogRecord.h"

namespace Tavrel::Log {

LogRecord::LogRecord(const wchar_t* moduleName, uint32_t level, const wchar_t* sourceFile, uint32_t line)
    : handle_(Log_GetDefaultHandle()), moduleName_(moduleName), level_(level), sourceFile_(sourceFile), line_(line) {}

void LogRecord::Flush(const LogBuffer& buffer) const {
    if (handle_ == nullptr) return;
    Log_Flush(handle_, moduleName_.c_str(), level_, sourceFile_, line_, buffer.Data(), buffer.ByteCount());
}

}  // namespace Tavrel::Log

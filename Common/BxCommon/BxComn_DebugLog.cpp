#include "Common/BxCommon/BxComn_DebugLog.h"

#include <shlwapi.h>

#include <cstdarg>
#include <memory>
#include <new>

#include "Common/BxCommon/BxComn_String.h"

namespace BxCommon {
namespace {

const wchar_t* TagOf(unsigned level) {
    switch (level) {
        case kDebugLevelWarning:
            return L".w.";
        case kDebugLevelSystem:
            return L"@@@";
        case kDebugLevelFailure:
            return L"!!!";
        default:
            return L"???";
    }
}

DebugLog g_debugLog;

}  // namespace

DebugLog& TheDebugLog() { return g_debugLog; }

bool BuildDebugLine(std::wstring& out, const SYSTEMTIME& time, DWORD processId, DWORD threadId, unsigned level,
                    const std::wstring& name, const std::wstring& message, const char* sourceFile, unsigned line) {
    try {
        std::wstring timeText, origin, source;
        String::Format(timeText, L"%02d/%02d/%04d %02d:%02d:%02d.%03d", time.wDay, time.wMonth, time.wYear, time.wHour,
                       time.wMinute, time.wSecond, time.wMilliseconds);
        String::Format(origin, L" %04x:%04x %3s <%s> ", processId, threadId, TagOf(level), name.c_str());
        const char* fileName = sourceFile != nullptr ? PathFindFileNameA(sourceFile) : nullptr;
        std::unique_ptr<wchar_t[]> wideFileName = String::FromConversionCodePage(fileName);
        String::Format(source, L" - %s(%lu)\r\n", wideFileName.get(), static_cast<unsigned long>(line));
        out = timeText + origin + message + source;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DebugLog::Trace(const char* sourceFile, unsigned line, unsigned level, const wchar_t* format, ...) {
    {
        Synchronize::SingleLock lock(&stateLock_);
        if (!initialised_) return false;
    }
    {
        Synchronize::SingleLock lock(&stateLock_);
        if (!enabled_) return true;
    }
    {
        Synchronize::SingleLock lock(&stateLock_);
        if ((levelMask_ & level) == 0) return false;
    }

    std::wstring message;
    try {
        va_list args;
        va_start(args, format);
        const bool formatted = String::FormatList(message, format, args);
        va_end(args);
        if (!formatted) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }

    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::wstring text;
    if (!BuildDebugLine(text, now, GetCurrentProcessId(), GetCurrentThreadId(), level, name_, message, sourceFile,
                        line)) {
        return false;
    }

    Synchronize::SingleLock lock(&outputLock_);
    Library::BxDbgTraceFunction trace = debugLibrary_.Trace();
    if (trace == nullptr) return false;
    return trace(debugHandle_, &now, text.c_str()) == 0;
}

bool DebugLog::SwitchOn(const wchar_t* libraryFile, const wchar_t* name, unsigned levelMask, DWORD* error) {
    DWORD code = ERROR_SUCCESS;
    bool connected = false;
    {
        Synchronize::SingleLock output(&outputLock_);
        // The debug library hands out one handle per process: once it has,
        // a second call only sets the level mask.
        if (!connected_ && !debugLibrary_.IsBound()) BindDebugLibrary(libraryFile, &code);
        if (!connected_ && debugLibrary_.IsBound()) {
            if (debugLibrary_.Initialize()(name, &debugHandle_) != 0) {
                code = ERROR_GEN_FAILURE;
            } else {
                name_ = name != nullptr ? name : L"";
                connected_ = true;
            }
        }
        connected = connected_;
    }
    if (connected) {
        Synchronize::SingleLock state(&stateLock_);
        levelMask_ = levelMask;
        enabled_ = true;
        initialised_ = true;
    }
    if (error != nullptr) *error = code;
    return connected;
}

// A library that loads but cannot be bound is let go again, so that a later
// SwitchOn can load another one.
void DebugLog::BindDebugLibrary(const wchar_t* libraryFile, DWORD* error) {
    if (!debugLibrary_.Load(libraryFile, error) || debugLibrary_.BindFunctions(true, error)) return;
    debugLibrary_.BindFunctions(false, nullptr);
    debugLibrary_.Free();
}

void DebugLog::SetEnabled(bool enabled) {
    Synchronize::SingleLock lock(&stateLock_);
    enabled_ = enabled;
}

void DebugLog::SetLevelMask(unsigned levelMask) {
    Synchronize::SingleLock lock(&stateLock_);
    levelMask_ = levelMask;
}

}  // namespace BxCommon

// The common library's own debug log. Its failure messages ("*** ...") go
// here, not to the suite's logging service: each becomes one formatted line
// handed to BxDbgTrace of a separate debug library.
//
// The log is built off and the plug-in never switches it on, so a Trace
// costs one lock, one flag test and one unlock. SwitchOn exists for tests
// and maintainers.
//
//   BXDBG_TRACE(256, L"*** ::SHGetMalloc() failed. [0x%08x]", hr);
#pragma once

#include <windows.h>

#include <string>

#include "Common/BxCommon/BxComn_BxDbg.h"
#include "Common/BxCommon/BxComn_Synchronize.h"

namespace BxCommon {

// Levels are single bits; a message is written when its level shares a bit
// with the level mask.
inline constexpr unsigned kDebugLevelWarning = 1;    // ".w."
inline constexpr unsigned kDebugLevelSystem = 16;    // "@@@"
inline constexpr unsigned kDebugLevelFailure = 256;  // "!!!"

class DebugLog {
public:
    DebugLog() = default;
    // Frees the debug library if one is held; BxDbgUninitialize is not called.
    virtual ~DebugLog() = default;
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

    // Writes one line (wide printf format and its arguments). True when the
    // line reached BxDbgTrace and it answered 0, and when the log is set up
    // but not enabled; false otherwise (not set up, level not in the mask,
    // out of memory, no BxDbgTrace, a non-zero answer).
    bool Trace(const char* sourceFile, unsigned line, unsigned level, const wchar_t* format, ...);

    // Loads the debug library, binds its functions, obtains the debug handle
    // from BxDbgInitialize(name) and enables the log for levelMask. On
    // failure the log stays as it was, *error (if given) says why, and a
    // later call may try again. Once on, a further call only sets levelMask
    // and enables the log; the library is not initialised again.
    bool SwitchOn(const wchar_t* libraryFile, const wchar_t* name, unsigned levelMask, DWORD* error);
    void SetEnabled(bool enabled);
    void SetLevelMask(unsigned levelMask);

private:
    void BindDebugLibrary(const wchar_t* libraryFile, DWORD* error);

    bool initialised_ = false;
    bool enabled_ = false;
    unsigned levelMask_ = 0;
    Synchronize::CriticalSection stateLock_;
    std::wstring name_;
    Library::BxDbg debugLibrary_;
    void* debugHandle_ = nullptr;
    // BxDbgInitialize has answered debugHandle_; guarded by the output lock.
    bool connected_ = false;
    Synchronize::CriticalSection outputLock_;
};

// The one instance of the process, built off at load time.
DebugLog& TheDebugLog();

// The line as the debug library receives it:
// "05/03/2024 07:08:09.005 01a4:12345 !!! <name> message - file.cpp(42)\r\n".
// sourceFile is cut to its file name. False only for want of memory.
bool BuildDebugLine(std::wstring& out, const SYSTEMTIME& time, DWORD processId, DWORD threadId, unsigned level,
                    const std::wstring& name, const std::wstring& message, const char* sourceFile, unsigned line);

}  // namespace BxCommon

#define BXDBG_TRACE(level, ...) ::BxCommon::TheDebugLog().Trace(__FILE__, __LINE__, (level), __VA_ARGS__)

// Quennet: the suite's logging service (our stand-in).
//
// One service per process. Log_ConstructServer starts it on a folder; from
// then on Log_GetDefaultHandle answers a non-zero handle and every module
// writes its messages to <folder>\<module>.log. Nothing here throws into the
// caller, and every function is thread-safe.
#pragma once

#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(QUENNET_BUILDING)
#define QUENNET_API __declspec(dllexport)
#else
#define QUENNET_API
#endif
#define QUENNET_CALL __stdcall

typedef void* QuennetHandle;

// Starts the service on `folder` (created if needed; a relative folder is
// taken relative to the current directory). Returns 0 when the service was
// started, 1 when one was already running (nothing changes), negative when the
// folder cannot be created or used (the service then stays stopped).
QUENNET_API int32_t QUENNET_CALL Log_ConstructServer(const wchar_t* folder);

// The running service's handle, or null when none was started successfully.
QUENNET_API QuennetHandle QUENNET_CALL Log_GetDefaultHandle(void);

// The configured level of `module`: 0 means off; otherwise messages of that
// level or higher are wanted. 0 for a null or unknown handle.
QUENNET_API uint32_t QUENNET_CALL Log_GetLogLevel(QuennetHandle handle, const wchar_t* module);

// Writes one message of `byteCount` bytes of UTF-16 text (text may be null
// when byteCount is 0). Returns 0 on success, negative otherwise.
QUENNET_API int32_t QUENNET_CALL Log_Flush(QuennetHandle handle, const wchar_t* module, uint32_t level,
                                           const wchar_t* sourceFile, uint32_t line, const wchar_t* text,
                                           uint32_t byteCount);

#ifdef __cplusplus
}
#endif

// The debug library behind the debug log, and its three functions.
#pragma once

#include <windows.h>

#include "Common/BxCommon/BxComn_Library.h"

namespace BxCommon::Library {

// What the debug library exports, as this library calls it. 0 means success.
using BxDbgInitializeFunction = int(WINAPI*)(const wchar_t* name, void** debugHandle);
using BxDbgUninitializeFunction = int(WINAPI*)(void* debugHandle);
using BxDbgTraceFunction = int(WINAPI*)(void* debugHandle, const SYSTEMTIME* localTime, const wchar_t* line);

class BxDbg : public Wrapper {
public:
    BxDbg() = default;
    explicit BxDbg(const wchar_t* fileName) : Wrapper(fileName) {}
    ~BxDbg() override;

    // Looks up "BxDbgInitialize", "BxDbgUninitialize" and "BxDbgTrace", in
    // that order.
    bool BindFunctions(bool bind, DWORD* error) override;

    BxDbgInitializeFunction Initialize() const { return initialize_; }
    BxDbgUninitializeFunction Uninitialize() const { return uninitialize_; }
    BxDbgTraceFunction Trace() const { return trace_; }

private:
    BxDbgInitializeFunction initialize_ = nullptr;
    BxDbgUninitializeFunction uninitialize_ = nullptr;
    BxDbgTraceFunction trace_ = nullptr;
};

}  // namespace BxCommon::Library

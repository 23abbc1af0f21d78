#include "Common/BxCommon/BxComn_BxDbg.h"

namespace BxCommon::Library {
namespace {

// Function addresses come back as FARPROC; the real type is the caller's.
template <typename Function>
bool Bind(HMODULE module, const char* name, Function* function, DWORD* error) {
    *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    if (*function != nullptr) return true;
    *error = GetLastError();
    return false;
}

}  // namespace

BxDbg::~BxDbg() { UnbindAndFree(); }

bool BxDbg::BindFunctions(bool bind, DWORD* error) {
    if (!bind) {
        initialize_ = nullptr;
        uninitialize_ = nullptr;
        trace_ = nullptr;
        bound_ = false;
        return true;
    }
    DWORD code = ERROR_SUCCESS;
    if (GetHandle() == nullptr) {
        code = ERROR_INVALID_HANDLE;
        bound_ = false;
    } else {
        bool all = Bind(GetHandle(), "BxDbgInitialize", &initialize_, &code);
        all = Bind(GetHandle(), "BxDbgUninitialize", &uninitialize_, &code) && all;
        all = Bind(GetHandle(), "BxDbgTrace", &trace_, &code) && all;
        bound_ = all;
    }
    if (error != nullptr && !bound_) *error = code;
    return bound_;
}

}  // namespace BxCommon::Library

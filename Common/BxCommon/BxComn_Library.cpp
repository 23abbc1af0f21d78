#include "Common/BxCommon/BxComn_Library.h"

#include "Common/BxCommon/BxComn_String.h"

namespace BxCommon::Library {

Base::Base(const wchar_t* fileName) {
    if (fileName != nullptr) module_.Reset(LoadLibraryW(fileName));
}

bool Base::Free() {
    if (!FreeLibrary(module_.Get())) return false;
    module_.Release();
    return true;
}

FARPROC Base::GetFunction(const wchar_t* name) const {
    // GetProcAddress(NULL, ...) would search the host's own program.
    if (!module_) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    String::ToConversionCodePage narrowName(name);
    if (narrowName.c_str() == nullptr) return nullptr;
    return GetProcAddress(module_.Get(), narrowName.c_str());
}

bool Base::Load(const wchar_t* fileName, DWORD* error) {
    DWORD code = ERROR_OBJECT_ALREADY_EXISTS;
    if (!module_) {
        module_.Reset(LoadLibraryW(fileName));
        code = module_ ? ERROR_SUCCESS : GetLastError();
    }
    if (error != nullptr) *error = code;
    return code == ERROR_SUCCESS;
}

void Wrapper::UnbindAndFree() {
    if (bound_ && GetHandle() != nullptr && Free()) BindFunctions(false, nullptr);
}

}  // namespace BxCommon::Library

// Failures of the registry storage (BxComn_Registry.h). Thrown as pointers to
// heap objects, which the catcher owns:
//
//   catch (BxCommon::Storage::Exception* e) {
//       const std::unique_ptr<BxCommon::Storage::Exception> failure(e);
//       code = failure->GetErrorCode();
//   }
//
// Callers act on the error code only; line and file say where it was raised.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "Common/BxCommon/BxComn_Exception.h"

namespace BxCommon::Storage {

class Exception : public BxCommon::Exception::Base {
public:
    // errorCode: a Windows error code (a registry function's result, or
    // ERROR_INVALID_HANDLE / ERROR_BAD_ARGUMENTS / ERROR_INVALID_DATA raised
    // by the storage itself). file may be null.
    Exception(DWORD errorCode, int line, const char* file)
        : errorCode_(errorCode), line_(line), file_(file != nullptr ? file : "") {}
    ~Exception() override = default;

    DWORD GetErrorCode() const noexcept { return errorCode_; }
    int GetLine() const noexcept { return line_; }
    const std::string& GetFile() const noexcept { return file_; }

private:
    DWORD errorCode_;
    int line_;
    std::string file_;
};

// A failure that concerns one value of an open key: which key (the storage's
// GetPath()) and which value.
class RegException : public Exception {
public:
    RegException(DWORD errorCode, int line, const char* file, std::wstring keyPath, std::wstring valueName)
        : Exception(errorCode, line, file), keyPath_(std::move(keyPath)), valueName_(std::move(valueName)) {}
    ~RegException() override = default;

    const std::wstring& GetKeyPath() const noexcept { return keyPath_; }
    const std::wstring& GetValueName() const noexcept { return valueName_; }

private:
    std::wstring keyPath_;
    std::wstring valueName_;
};

}  // namespace BxCommon::Storage

// The common library's platform error: a failed Windows call or an invalid
// argument, carried as an HRESULT. Thrown by value.
#pragma once

#include <windows.h>

#include <exception>

namespace BxCommon {

class HResultError : public std::exception {
public:
    explicit HResultError(HRESULT result) noexcept : result_(result) {}
    HRESULT Result() const noexcept { return result_; }
    const char* what() const noexcept override { return "BxCommon::HResultError"; }

private:
    HRESULT result_;
};

}  // namespace BxCommon

#include "Common/BxCommon/BxComn_Registry.h"

#include <cstring>
#include <new>
#include <utility>

namespace BxCommon::Storage {
namespace {

void Report(DWORD* errorOut, DWORD code) {
    if (errorOut != nullptr) *errorOut = code;
}

}  // namespace

bool ByteBuffer::Allocate(const size_t& size, DWORD* errorOut) {
    if (!IsEmpty()) {
        Report(errorOut, ERROR_OBJECT_ALREADY_EXISTS);
        return false;
    }
    if (size == 0) {
        Report(errorOut, ERROR_BAD_ARGUMENTS);
        return false;
    }
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block) {
        Report(errorOut, ERROR_INVALID_HANDLE);
        return false;
    }
    std::memset(block.get(), 0, size);
    data_ = std::move(block);
    size_ = size;
    Report(errorOut, ERROR_SUCCESS);
    return true;
}

}  // namespace BxCommon::Storage

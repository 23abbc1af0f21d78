// An output space followed by guard elements of a known pattern, allocated
// to the exact size so that AddressSanitizer also sees anything past them.
// A callee given Space() elements must leave Intact() true.
#pragma once

#include <cstddef>
#include <vector>

namespace Fuzz {

template <typename T>
class GuardedBuffer {
public:
    static constexpr std::size_t kGuard = 16;

    explicit GuardedBuffer(std::size_t space, T fill = T(0x5A)) : space_(space), storage_(space + kGuard, fill) {
        for (std::size_t i = 0; i < kGuard; ++i) storage_[space + i] = Pattern(i);
    }

    T* Data() { return storage_.data(); }
    const T* Data() const { return storage_.data(); }
    std::size_t Space() const { return space_; }

    bool Intact() const {
        for (std::size_t i = 0; i < kGuard; ++i) {
            if (storage_[space_ + i] != Pattern(i)) return false;
        }
        return true;
    }

private:
    static T Pattern(std::size_t i) { return static_cast<T>(0xA5 ^ (i * 0x3B)); }

    std::size_t space_;
    std::vector<T> storage_;
};

}  // namespace Fuzz

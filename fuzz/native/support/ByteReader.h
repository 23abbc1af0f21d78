// Reads a fuzz input from the front, so that seed files can be written by
// hand in the order the driver reads them. Past the end every read gives
// zeros; Done() says when the input is used up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Fuzz {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Done() const { return used_ >= size_; }

    std::uint8_t Byte() { return used_ < size_ ? data_[used_++] : 0; }

    // Little-endian.
    std::uint16_t Word() {
        const std::uint8_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }

    // Exactly `count` bytes, zeros past the end of the input.
    std::vector<std::uint8_t> Bytes(std::size_t count) {
        std::vector<std::uint8_t> out(count, 0);
        for (std::size_t i = 0; i < count && !Done(); ++i) out[i] = Byte();
        return out;
    }

    // Up to the next zero byte (consumed, not returned) or the end.
    std::string Text() {
        std::string out;
        while (!Done()) {
            const std::uint8_t byte = Byte();
            if (byte == 0) break;
            out += static_cast<char>(byte);
        }
        return out;
    }

    // UTF-16 units, one per wchar_t, whatever its size: `count` words,
    // zeros past the end of the input.
    std::wstring Units(std::size_t count) {
        std::wstring out(count, L'\0');
        for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<wchar_t>(Word());
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t used_ = 0;
};

}  // namespace Fuzz

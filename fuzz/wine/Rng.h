// The fuzzers' random source: SplitMix64, written out so that a seed gives
// the same inputs with any compiler or standard library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace WineFuzz {

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. bound - 1; bound 0 gives 0. The modulo bias is of no concern here.
    uint64_t Below(uint64_t bound) { return bound == 0 ? 0 : Next() % bound; }
    uint64_t Between(uint64_t low, uint64_t high) { return low + Below(high - low + 1); }
    // True `perMille` times in a thousand.
    bool Chance(unsigned perMille) { return Below(1000) < perMille; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }
    template <typename T>
    T OneOf(std::initializer_list<T> items) {
        return items.begin()[Below(items.size())];
    }

private:
    uint64_t state_;
};

// A length of 0 to `longest`, mostly short: each tier is ten times rarer
// than the one below it, and the exact boundaries of the callers' interest
// come from them, not from here.
inline size_t SkewedLength(Rng& rng, size_t longest) {
    size_t limit = 16;
    while (limit < longest && rng.Chance(250)) limit *= 10;
    if (limit > longest) limit = longest;
    return static_cast<size_t>(rng.Below(limit + 1));
}

}  // namespace WineFuzz

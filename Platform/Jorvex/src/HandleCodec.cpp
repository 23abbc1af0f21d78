#include "HandleCodec.h"

namespace Jorvex {

namespace {

// "JV" in the top half, so a word of small integers never passes for a tag.
constexpr uint64_t kTagBase = 0x4A560000u;

// The splitmix64 finaliser: every input bit reaches every output bit.
uint64_t Mix(uint64_t value) {
    value ^= value >> 30;
    value *= 0xBF58476D1CE4E5B9ull;
    value ^= value >> 27;
    value *= 0x94D049BB133111EBull;
    value ^= value >> 31;
    return value;
}

uint64_t Seal(HandleKind kind, uint64_t first, uint64_t second) {
    return Mix(Mix(first ^ static_cast<uint64_t>(kind)) + second) & 0xFFFFFFFFu;
}

}  // namespace

JsonHandle EncodeHandle(HandleKind kind, uint64_t first, uint64_t second) {
    JsonHandle handle;
    handle.Words[0] = ((kTagBase | static_cast<uint64_t>(kind)) << 32) | Seal(kind, first, second);
    handle.Words[1] = first;
    handle.Words[2] = second;
    return handle;
}

std::optional<HandleFields> DecodeHandle(const JsonHandle& handle) {
    const uint64_t tag = handle.Words[0] >> 32;
    HandleKind kind;
    if (tag == (kTagBase | static_cast<uint64_t>(HandleKind::Owner))) {
        kind = HandleKind::Owner;
    } else if (tag == (kTagBase | static_cast<uint64_t>(HandleKind::View))) {
        kind = HandleKind::View;
    } else {
        return std::nullopt;
    }
    if ((handle.Words[0] & 0xFFFFFFFFu) != Seal(kind, handle.Words[1], handle.Words[2])) {
        return std::nullopt;
    }
    return HandleFields{kind, handle.Words[1], handle.Words[2]};
}

}  // namespace Jorvex

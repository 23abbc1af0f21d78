// How the three words of a JsonHandle are laid out.
//
// Word 0 holds a kind tag and a seal computed from the other two words, so a
// handle that was never issued (default, zeros, garbage, a torn copy) is
// refused before any table is consulted. The words are only ever used as keys,
// never as addresses.
//   owning handle: { tag | seal, owner id, tree id }
//   view:          { tag | seal, tree id,  path id }
#pragma once

#include <cstdint>
#include <optional>

#include "Jorvex/JsonValue.h"

namespace Jorvex {

enum class HandleKind : uint32_t { Owner = 1, View = 2 };

struct HandleFields {
    HandleKind kind;
    uint64_t first;
    uint64_t second;
};

JsonHandle EncodeHandle(HandleKind kind, uint64_t first, uint64_t second);

// Empty when the tag or the seal does not match.
std::optional<HandleFields> DecodeHandle(const JsonHandle& handle);

inline JsonHandle DefaultHandle() { return JSON_HANDLE_DEFAULT_INIT; }

}  // namespace Jorvex

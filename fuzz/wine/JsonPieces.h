// Pieces of hostile JSON text for the request generator: string literals
// with every kind of character, numbers, nesting and values of any type.
// Numbers from here are never an integer that is a non-zero multiple of 4
// below 2^32, so wherever they land (even as a stop list's pid) they cannot
// name a real process.
#pragma once

#include <string>

#include "Rng.h"

namespace WineFuzz {

// A JSON string literal of `length` characters (UTF-16 units, before
// escaping): letters, path separators, quotes, controls, \u0000, non-ASCII,
// surrogate pairs, unpaired surrogates (raw, which the reader turns into
// U+FFFD, and rarely escaped, which makes the text malformed) and % pairs.
std::wstring StringLiteral(Rng& rng, size_t length);
// A string literal of a length from 0 to `longest`, with the boundaries
// around MAX_PATH and the longest length itself drawn now and then.
std::wstring StringOfAnyLength(Rng& rng, size_t longest);
// A number as the text of any of JSON's forms.
std::wstring SafeNumber(Rng& rng);
// Containers nested `levels` deep around a leaf.
std::wstring Nested(Rng& rng, size_t levels);
// A nesting depth of a few to a few hundred, around the library's limit.
size_t HostileDepth(Rng& rng);
// Any value: scalars, strings, arrays and objects (whose keys may be the
// module's own names), at most `depth` levels of containers.
std::wstring AnyValue(Rng& rng, int depth);
// An object member key: the module's names, their near misses, any text.
std::wstring AnyKey(Rng& rng);

}  // namespace WineFuzz

// Following a path from a tree's root, for reading and for writing.
#pragma once

#include <cstddef>
#include <vector>

#include "Json.h"
#include "Jorvex/JsonValue.h"
#include "PathTable.h"

namespace Jorvex {

// The value at the end of the steps; null when any step is missing or meets
// a value of the wrong kind.
const Json* Find(const Json& root, const std::vector<PathStep>& steps);

// Stores value at the end of the steps. Missing members are added, an element
// one past the end is appended, and a missing or null container on the way is
// created (an object for a key, an array for index 0). Fails with WRONG_TYPE
// when a step meets a value of the other kind, OUT_OF_RANGE for an index past
// the end, TOO_DEEP when the tree would nest deeper than JORVEX_MAX_DEPTH.
// On failure, including std::bad_alloc, the tree is unchanged.
JorvexStatus Place(Json& root, const std::vector<PathStep>& steps, Json&& value);

// Containers nested in value, itself included: 0 for a scalar, 1 for "[]".
size_t NestingDepth(const Json& value);

}  // namespace Jorvex

// Equality: structural for lists and dictionaries, by content for texts and numbers, by identity otherwise.
#pragma once
#include <cstdint>

#include "values/value.h"

namespace brevalon {

// Shared parts are compared every time they occur; a comparison taking more steps than this stops
// with an internal error. Nesting has no limit but memory.
constexpr uint64_t max_equality_steps = uint64_t{1} << 28;

// A value of a kind without equality (an environment, a native) makes the comparison false and is
// reported through `uncomparable`, so the caller can name its type.
bool values_equal(Value* a, Value* b, Value*& uncomparable);

}  // namespace brevalon

// Equality: structural for lists and dictionaries, by content for texts and numbers, by identity otherwise.
#pragma once
#include "values/value.h"

namespace brevalon {

// Nested data deeper than this ends the comparison with an internal error.
constexpr int max_equality_depth = 10000;

bool values_equal(Value* a, Value* b);

}  // namespace brevalon

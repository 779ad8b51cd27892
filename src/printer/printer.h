// The two text forms of a value: the display form (to_string) and the literal form (represent).
#pragma once
#include <string>

#include "values/value.h"

namespace brevalon {

// Shared parts are written out every time they occur, so a small value can stand for an enormous text;
// past this size the printers stop with an internal error. Nesting has no limit but memory.
constexpr size_t max_print_bytes = size_t{1} << 30;

std::string to_string(Value* value);
std::string represent(Value* value);
// The literal form of a value's type, for messages: its class, or the type of a built-in kind.
std::string represent_type_of(Value* value);

}  // namespace brevalon

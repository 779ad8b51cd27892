// The two text forms of a value: the display form (to_string) and the literal form (represent).
#pragma once
#include <string>

#include "values/value.h"

namespace brevalon {

// Both recurse over nested data; past this depth they stop with an internal error.
constexpr int max_print_depth = 10000;
// Shared parts are written out every time they occur, so a small value can stand for an enormous text;
// past this size the printers stop with an internal error.
constexpr size_t max_print_bytes = size_t{1} << 30;

// The guard both printers pass at every value they write: past either limit, or near the end of
// the machine stack, printing stops with an internal error.
void guard_print(const std::string& out, int depth);

std::string to_string(Value* value);
std::string represent(Value* value);
// The literal form of a value's type, for messages: its class, or the type of a built-in kind.
std::string represent_type_of(Value* value);

void append_to_string(std::string& out, Value* value, int depth);
void append_represent(std::string& out, Value* value, int depth);

}  // namespace brevalon

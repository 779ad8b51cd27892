// The display form: numbers in decimal, strings bare, symbols by name, lists with their elements' literal form.
#include <cstdio>

#include "base/errors.h"
#include "base/stack_guard.h"
#include "printer/printer.h"
#include "values/list.h"
#include "values/symbol.h"
#include "values/types.h"

namespace brevalon {

namespace {

void append_list(std::string& out, Value* list, int depth) {
  out += '(';
  bool first = true;
  for (; list->kind == Kind::Cell; list = cdr(list)) {
    if (!first) out += ' ';
    first = false;
    append_represent(out, car(list), depth + 1);
  }
  // A chain that ends in something other than nil shows its last cdr after a dot.
  if (!is_nil(list)) {
    out += " . ";
    append_represent(out, list, depth + 1);
  }
  out += ')';
}

}  // namespace

void guard_print(const std::string& out, int depth) {
  if (out.size() > max_print_bytes)
    internal_error("value too large to print (its text passes " + std::to_string(max_print_bytes >> 20) + " MiB)");
  if (depth > max_print_depth || stack_nearly_full())
    internal_error("value nested more than " + std::to_string(max_print_depth) + " levels deep cannot be printed");
}

void append_to_string(std::string& out, Value* value, int depth) {
  guard_print(out, depth);
  if (value->kind == Kind::Integer) {
    out += std::to_string(as<Integer>(value)->value);
  } else if (value->kind == Kind::Floating) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%f", as<Floating>(value)->value);
    out += buffer;
  } else if (value->kind == Kind::String) {
    out += as<String>(value)->text;
  } else if (is_symbol(value)) {
    if (value->kind == Kind::NamedSymbol) out += as<NamedSymbol>(value)->name->text;
    else out += "<symbol #" + std::to_string(as<NumSymbol>(value)->number) + ">";
  } else if (value->kind == Kind::Unique) {
    out += as<Unique>(value)->name;
  } else if (value->kind == Kind::Cell) {
    append_list(out, value, depth);
  } else {
    internal_error("to-string not implemented for type " + represent_type_of(value));
  }
}

std::string to_string(Value* value) {
  if (value->kind == Kind::String) return as<String>(value)->text;
  std::string out;
  append_to_string(out, value, 0);
  return out;
}

}  // namespace brevalon

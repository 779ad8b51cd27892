// The display form: numbers in decimal, strings bare, symbols by name, lists with their elements' literal form.
#include <cstdio>

#include "base/errors.h"
#include "printer/print_job.h"
#include "printer/printer.h"
#include "values/list.h"
#include "values/symbol.h"
#include "values/types.h"

namespace brevalon {

void PrintJob::write_display(Value* value) {
  switch (value->kind) {
    case Kind::Integer:
      append(std::to_string(as<Integer>(value)->value));
      return;
    case Kind::Floating: {
      char buffer[512];
      std::snprintf(buffer, sizeof buffer, "%f", as<Floating>(value)->value);
      append(buffer);
      return;
    }
    case Kind::String:
      append(as<String>(value)->text);
      return;
    case Kind::NamedSymbol:
      append(as<NamedSymbol>(value)->name->text);
      return;
    case Kind::NumSymbol:
      append("<symbol #" + std::to_string(as<NumSymbol>(value)->number) + ">");
      return;
    case Kind::Unique:
      append(as<Unique>(value)->name);
      return;
    case Kind::Cell:
      append("(");
      push({.step = Step::list_rest, .first = true, .value = value});
      return;
    default:
      internal_error("to-string not implemented for type " + represent_type_of(value));
  }
}

// One element per step, so a long list keeps the work list short and a deep one grows it by one
// task per level.
void PrintJob::continue_list(const Task& task) {
  bool body = task.step == Step::body_rest;
  Value* rest = task.value;
  if (rest->kind == Kind::Cell) {
    if (!task.first) append(" ");
    push({.step = task.step, .value = cdr(rest)});
    push({.step = Step::literal, .value = car(rest)});
    return;
  }
  // A chain that ends in something other than nil shows its last cdr after a dot.
  if (!is_nil(rest)) {
    append(" . ");
    push_nested(rest, 0, body ? "" : ")");
    return;
  }
  if (!body) append(")");
}

std::string to_string(Value* value) {
  if (value->kind == Kind::String) return as<String>(value)->text;
  return PrintJob().run(value, false);
}

}  // namespace brevalon

// Showing a value through the global repr, as a program calling (repr value) would see it.
#include "repl/show_value.h"

#include "base/errors.h"
#include "base/output.h"
#include "eval/runners.h"
#include "printer/printer.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"

namespace brevalon::repl {

void show_value(Runtime& runtime, Value* value) {
  NamedSymbol symbol(runtime.heap.names.intern("repr"));
  Value* callee = runtime.global->lookup(&symbol);
  if (!callee) lisp_error("Symbol repr is undefined");
  Value* text = compute_new(runtime, callee, runtime.heap.make<Cell>(value, runtime.heap.constants.nil));
  // A program may bind repr to a function that returns something other than a string.
  write_line(text->kind == Kind::String ? static_cast<String*>(text)->text : to_string(text));
}

}  // namespace brevalon::repl

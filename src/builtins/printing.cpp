// The natives behind the prelude's to-string and repr generics.
#include "builtins/printing.h"

#include "eval/arguments.h"
#include "eval/interpreter.h"
#include "printer/printer.h"

namespace brevalon {

Value* native_to_string(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("to-string", arguments);
  Value* value = args.at(0);
  if (value->kind == Kind::String) return value;
  return interpreter.heap.make<String>(to_string(value));
}

Value* native_repr(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("repr", arguments);
  return interpreter.heap.make<String>(represent(args.at(0)));
}

}  // namespace brevalon

// The macroexpand built-in: a complete expansion in the caller's environment, by a nested runner.
#include "eval/macroexpand.h"

#include "eval/arguments.h"
#include "eval/interpreter.h"
#include "eval/runners.h"

namespace brevalon {

Value* native_macroexpand(Interpreter& interpreter, Environment* environment, Value* arguments) {
  Value* form = Arguments("macroexpand", arguments).at(0);
  // The NativeCallFrame holding the arguments stays on the outer stack, so the form stays reachable.
  return expand_new(interpreter.runtime, environment, form);
}

}  // namespace brevalon

// The list primitives: list, car, cdr, cons.
#include "builtins/lists.h"

#include "eval/arguments.h"
#include "eval/interpreter.h"

namespace brevalon {

// The argument list is already a fresh list made for this call.
Value* native_list(Interpreter&, Environment*, Value* arguments) { return arguments; }

Value* native_car(Interpreter&, Environment*, Value* arguments) { return car(Arguments("car", arguments).cell(0)); }

Value* native_cdr(Interpreter&, Environment*, Value* arguments) { return cdr(Arguments("cdr", arguments).cell(0)); }

Value* native_cons(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("cons", arguments);
  args.require(2);
  return interpreter.heap.make<Cell>(args.at(0), args.at(1));
}

}  // namespace brevalon

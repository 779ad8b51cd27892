// The = built-in.
#include "eval/arguments.h"
#include "eval/interpreter.h"
#include "startup/natives.h"
#include "values/equality.h"
#include "values/types.h"

namespace brevalon {

Value* native_equal(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("=", arguments);
  args.require(2);
  return interpreter.heap.constants.boolean(values_equal(args.at(0), args.at(1)));
}

}  // namespace brevalon

// The = built-in.
#include "builtins/equality_native.h"

#include "base/errors.h"
#include "eval/arguments.h"
#include "eval/interpreter.h"
#include "printer/printer.h"
#include "values/equality.h"
#include "values/types.h"

namespace brevalon {

Value* native_equal(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("=", arguments);
  args.require(2);
  Value* uncomparable = nullptr;
  bool equal = values_equal(args.at(0), args.at(1), uncomparable);
  if (uncomparable) lisp_error("Unsupported type for equality: " + represent_type_of(uncomparable));
  return interpreter.heap.constants.boolean(equal);
}

}  // namespace brevalon

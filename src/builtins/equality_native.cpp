// The = built-in.
#include "builtins/equality_native.h"

#include "base/errors.h"
#include "eval/arguments.h"
#include "printer/printer.h"
#include "values/equality.h"
#include "values/types.h"

namespace brevalon {

Value* native_equal(Interpreter&, Environment*, Value* arguments) {
  Arguments args("=", arguments);
  args.require(2);
  Value* uncomparable = nullptr;
  bool equal = values_equal(args.at(0), args.at(1), uncomparable);
  if (uncomparable) lisp_error("Unsupported type for equality: " + represent(type_of(uncomparable)));
  return boolean(equal);
}

}  // namespace brevalon

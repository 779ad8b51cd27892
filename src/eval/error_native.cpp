// The error built-in: raises a LispError from a kind and a text.
#include "eval/error_native.h"

#include "eval/arguments.h"
#include "base/errors.h"
#include "printer/printer.h"

namespace brevalon {

Value* native_error(Interpreter&, Environment*, Value* arguments) {
  Arguments args("error", arguments);
  args.require(2);
  lisp_error("Error: " + represent(args.at(0)) + ": " + represent(args.at(1)));
}

}  // namespace brevalon

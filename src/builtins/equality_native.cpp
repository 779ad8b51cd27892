// The = built-in.
#include "eval/arguments.h"
#include "startup/natives.h"
#include "values/equality.h"
#include "values/types.h"

namespace brevalon {

Value* native_equal(Interpreter&, Environment*, Value* arguments) {
  Arguments args("=", arguments);
  args.require(2);
  return boolean(values_equal(args.at(0), args.at(1)));
}

}  // namespace brevalon

// Integer arithmetic with two's-complement wrap-around, the orderings, and the double-precision addition.
#include "builtins/numbers.h"

#include <cmath>

#include "values/arithmetic.h"
#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/interpreter.h"
#include "values/types.h"

namespace brevalon {

namespace {


int64_t wrap_sub(int64_t a, int64_t b) { return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b)); }
int64_t wrap_mul(int64_t a, int64_t b) { return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b)); }

template <typename Compare>
Value* ordering(Interpreter& interpreter, const char* name, Value* arguments, Compare compare) {
  Arguments args(name, arguments);
  args.require(2);
  return interpreter.heap.constants.boolean(compare(args.integer(0), args.integer(1)));
}


}  // namespace

Value* native_add(Interpreter& interpreter, Environment*, Value* arguments) {
  double sum = 0.0;
  for (Value* rest = arguments; rest->kind == Kind::Cell; rest = cdr(rest)) {
    Value* operand = car(rest);
    if (operand->kind != Kind::Integer) lisp_error("Internal error: native (+) operation used for non-numbers");
    sum += static_cast<double>(as<Integer>(operand)->value);
  }
  return interpreter.heap.make<Integer>(truncate_to_int64(sum));
}

Value* native_subtract(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("-", arguments);
  int64_t result = args.integer(0);
  for (size_t i = 1; i < args.count(); ++i) result = wrap_sub(result, args.integer(i));
  return interpreter.heap.make<Integer>(result);
}

Value* native_multiply(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("*", arguments);
  int64_t result = 1;
  for (size_t i = 0; i < args.count(); ++i) result = wrap_mul(result, args.integer(i));
  return interpreter.heap.make<Integer>(result);
}

Value* native_less(Interpreter& interpreter, Environment*, Value* arguments) {
  return ordering(interpreter, "<", arguments, [](int64_t a, int64_t b) { return a < b; });
}
Value* native_greater(Interpreter& interpreter, Environment*, Value* arguments) {
  return ordering(interpreter, ">", arguments, [](int64_t a, int64_t b) { return a > b; });
}
Value* native_less_equal(Interpreter& interpreter, Environment*, Value* arguments) {
  return ordering(interpreter, "<=", arguments, [](int64_t a, int64_t b) { return a <= b; });
}
Value* native_greater_equal(Interpreter& interpreter, Environment*, Value* arguments) {
  return ordering(interpreter, ">=", arguments, [](int64_t a, int64_t b) { return a >= b; });
}

}  // namespace brevalon

// The number natives: comparisons and integer arithmetic.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_less(Interpreter&, Environment*, Value* arguments);
Value* native_greater(Interpreter&, Environment*, Value* arguments);
Value* native_less_equal(Interpreter&, Environment*, Value* arguments);
Value* native_greater_equal(Interpreter&, Environment*, Value* arguments);
Value* native_add(Interpreter&, Environment*, Value* arguments);
Value* native_subtract(Interpreter&, Environment*, Value* arguments);
Value* native_multiply(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

// The list natives: car, cdr, cons and list.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_car(Interpreter&, Environment*, Value* arguments);
Value* native_cdr(Interpreter&, Environment*, Value* arguments);
Value* native_cons(Interpreter&, Environment*, Value* arguments);
Value* native_list(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

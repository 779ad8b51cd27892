// The macroexpand native.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_macroexpand(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

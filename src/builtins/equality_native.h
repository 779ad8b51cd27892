// The = native.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_equal(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

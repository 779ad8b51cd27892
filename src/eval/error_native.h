// The error native.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_error(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

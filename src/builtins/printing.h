// The natives behind the prelude's to-string and repr generics.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_to_string(Interpreter&, Environment*, Value* arguments);
Value* native_repr(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

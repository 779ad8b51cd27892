// The string natives, public and the prelude's private ones.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_split(Interpreter&, Environment*, Value* arguments);
Value* native_join(Interpreter&, Environment*, Value* arguments);
Value* native_substring(Interpreter&, Environment*, Value* arguments);
Value* native_strip(Interpreter&, Environment*, Value* arguments);
Value* native_string_contains(Interpreter&, Environment*, Value* arguments);
Value* native_string_length(Interpreter&, Environment*, Value* arguments);
Value* native_string_at(Interpreter&, Environment*, Value* arguments);
Value* native_string_to_symbol(Interpreter&, Environment*, Value* arguments);
Value* native_string_concat(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

// The dictionary natives: keys read, set, tested and listed, and new dictionaries.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_get_key(Interpreter&, Environment*, Value* arguments);
Value* native_set_key(Interpreter&, Environment*, Value* arguments);
Value* native_has_key(Interpreter&, Environment*, Value* arguments);
Value* native_dict(Interpreter&, Environment*, Value* arguments);
Value* native_list_keys(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

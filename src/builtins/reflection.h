// The reflection natives: closures, docs, metadata and the type of a value.
#pragma once
#include "values/function.h"

namespace brevalon {

Value* native_get_closure(Interpreter&, Environment*, Value* arguments);
Value* native_get_doc(Interpreter&, Environment*, Value* arguments);
Value* native_set_doc(Interpreter&, Environment*, Value* arguments);
Value* native_get_metadata(Interpreter&, Environment*, Value* arguments);
Value* native_set_metadata(Interpreter&, Environment*, Value* arguments);
Value* native_get_type(Interpreter&, Environment*, Value* arguments);

}  // namespace brevalon

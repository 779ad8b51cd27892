// The class natives: make-class, make-instance, attribute access, is-subclass and class reflection.
#pragma once
#include "eval/resumable.h"
#include "values/function.h"

namespace brevalon {

Value* native_get_attr(Interpreter&, Environment*, Value* arguments);
Value* native_set_attr(Interpreter&, Environment*, Value* arguments);
Value* native_make_instance(Interpreter&, Environment*, Value* arguments);
Value* native_is_subclass(Interpreter&, Environment*, Value* arguments);
Value* native_get_class_owned_attributes(Interpreter&, Environment*, Value* arguments);
Value* native_get_all_class_attributes(Interpreter&, Environment*, Value* arguments);
Value* native_get_class_env(Interpreter&, Environment*, Value* arguments);
ResumableState* make_class_constructor_state(FramePools& pools);

}  // namespace brevalon

// The run's global state and its roots.
#include "eval/runtime.h"

#include "values/list.h"
#include "values/types.h"

namespace brevalon {

Runtime::Runtime() {
  make_types_and_constants(heap);
  global = make_environment(heap, nullptr);
  heap.add_root_set(this);
  heap.pending_frames = &frame_count;
}

Runtime::~Runtime() { heap.remove_root_set(this); }

void Runtime::visit_roots(Visitor& visit) {
  for (Type* type : {types.symbol, types.dictionary, types.str, types.integer, types.cell, types.environment,
                     types.class_type, types.floating, types.native_function, types.function, types.type,
                     types.unique, types.lisp_function, types.resumable_native})
    visit(type);
  visit(nil_value);
  visit(true_value);
  visit(false_value);
  visit(global);
  for (Value* value : permanent) visit(value);
}

}  // namespace brevalon

// The run's global state and its roots.
#include "eval/runtime.h"

#include "values/types.h"

namespace brevalon {

Runtime::Runtime() {
  make_types_and_constants(heap);
  global = make_environment(heap, nullptr);
  global->mirror_names();
  heap.add_root_set(this);
  heap.pending_frames = &frame_count;
}

Runtime::~Runtime() { heap.remove_root_set(this); }

void Runtime::visit_roots(Visitor& visit) {
  heap.constants.visit_edges(visit);
  visit(global);
  for (Value* value : permanent) visit(value);
  direct.visit_edges(visit);
}

}  // namespace brevalon

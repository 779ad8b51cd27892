// Running native routines and driving resumable natives.
#include "eval/native_frames.h"

#include "base/errors.h"
#include "eval/interpreter.h"
#include "values/environment.h"

namespace brevalon {

void ResumableState::restore(Heap&, Environment*, Value*, Phase, Value*, Value*, Value*) {
  internal_error("a native that fast paths do not run was handed on part-way");
}

bool NativeCallFrame::next_step(Interpreter& interpreter) {
  result = native->routine(interpreter, environment, arguments);
  return true;
}

void NativeCallFrame::visit_edges(Visitor& visit) {
  visit(native);
  visit(arguments);
  visit(environment);
  visit(result);
}

bool ResumableNativeCallFrame::next_step(Interpreter& interpreter) {
  if (!state_object) {
    state_object = native->factory(interpreter.heap.frame_pools);
    state_object->init(interpreter, environment, arguments);
    return false;
  }
  if (!state_object->next_step(interpreter)) return false;
  result = state_object->result(interpreter.heap);
  return true;
}

void ResumableNativeCallFrame::visit_edges(Visitor& visit) {
  visit(native);
  visit(arguments);
  visit(environment);
  if (state_object) state_object->visit_edges(visit);
}

}  // namespace brevalon

// The dispatch frame: calls the chosen method where the dispatcher's own frames would.
#include "eval/fast/dispatch_frame.h"

#include "eval/eval_frames.h"
#include "eval/fast/dispatcher_text.h"
#include "eval/interpreter.h"
#include "values/function.h"

namespace brevalon {

DispatchFrame::DispatchFrame(Runtime& rt, LispFunc* g, Value* m, Value* args)
    : runtime(rt), generic(g), method(m), arguments(args) {
  // Pushing this frame counts one; the others it stands for count from here until it is gone.
  runtime.frame_count += frames_stood_for - 1;
}

DispatchFrame::~DispatchFrame() { runtime.frame_count -= frames_stood_for - 1; }

bool DispatchFrame::next_step(Interpreter& interpreter) {
  if (state == State::awaiting_method) return true;
  state = State::awaiting_method;
  interpreter.push(new (interpreter.heap.frame_pools) CallFrame(method, arguments, dispatcher_method_call(generic->body), generic->closure));
  return false;
}

std::string DispatchFrame::display() {
  Value* if_function = runtime.fast_paths.dispatch.if_function;
  return dispatcher_frame_lines(generic->body,
                                as<ResumableNative>(as<Function>(if_function)->implementation)->name);
}

void DispatchFrame::append_source_forms(std::vector<Value*>& forms) {
  dispatcher_frame_forms(generic->body, forms);
}

void DispatchFrame::visit_edges(Visitor& visit) {
  visit(generic);
  visit(method);
  visit(arguments);
  visit(result);
}

}  // namespace brevalon

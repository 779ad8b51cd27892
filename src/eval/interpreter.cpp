// The trampoline loop and the trace text.
#include "eval/interpreter.h"

#include "base/errors.h"
#include "values/list.h"

namespace brevalon {

Interpreter::Interpreter(Runtime& rt, Frame* root) : runtime(rt), heap(rt.heap) {
  heap.add_root_set(this);
  stack_.reserve(64);
  push(root);
}

Interpreter::~Interpreter() {
  heap.remove_root_set(this);
  runtime.frame_count -= stack_.size();
  for (Frame* frame : stack_) delete frame;
}

void Interpreter::too_many_frames() {
  internal_error("too many pending frames (more than " + std::to_string(Runtime::max_frames) +
                   "): runaway recursion?");
}

void Interpreter::pop_finished() {
  Frame* done = stack_.back();
  stack_.pop_back();
  --runtime.frame_count;
  Value* value = done->finish();
  delete done;
  if (stack_.empty()) result_ = value;
  else stack_.back()->resume(value);
}

void Interpreter::exhausted() const {
  if (runtime.step_budget == 0) internal_error("the run's step budget is spent");
  internal_error("the run's heap budget is spent (" + std::to_string(heap.live_bytes()) + " bytes)");
}

bool Interpreter::next_step() {
  if (stack_.empty()) return true;
  if (!stack_.back()->next_step(*this)) return false;
  pop_finished();
  return stack_.empty();
}

// A normal run has no budgets, and none is set while it runs: its steps skip their checks.
void Interpreter::run() {
  if (runtime.bounded()) run_steps<true>();
  else run_steps<false>();
}

template <bool bounded>
void Interpreter::run_steps() {
  while (!stack_.empty()) {
    heap.safe_point();
    if constexpr (bounded) {
      if (runtime.step_budget == 0 || heap.live_bytes() > runtime.live_bytes_budget) exhausted();
      --runtime.step_budget;
    }
    if (stack_.back()->next_step(*this)) pop_finished();
  }
}

std::string Interpreter::display() const {
  if (stack_.empty()) return "(nothing to do)";
  std::string text;
  for (size_t i = 0; i < stack_.size(); ++i) {
    if (i) text += '\n';
    text += stack_[i]->display();
  }
  return text;
}

std::vector<std::string> Interpreter::trace_lines() const {
  std::vector<std::string> lines;
  if (stack_.empty()) return {"(nothing to do)"};
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
    std::string text;
    try {
      text = (*it)->display();
    } catch (...) {
      text = "(a frame whose value cannot be shown)";
    }
    // A line holding newlines becomes several lines, reversed along with all the others.
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
      pieces.push_back(text.substr(start, nl - start));
    pieces.push_back(text.substr(start));
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) lines.push_back(std::move(*piece));
  }
  return lines;
}

void Interpreter::visit_roots(Visitor& visit) {
  for (Frame* frame : stack_) frame->visit_edges(visit);
  visit(result_);
}

}  // namespace brevalon

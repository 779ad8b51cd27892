// The Interpreter: a frame stack driven one step at a time by the trampoline loop.
#pragma once
#include <string>
#include <vector>

#include "eval/frame.h"
#include "eval/runtime.h"

namespace brevalon {

class Interpreter final : public RootSet {
 public:
  Interpreter(Runtime& runtime, Frame* root);
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  void push(Frame* frame) {
    stack_.push_back(frame);
    if (++runtime.frame_count > Runtime::max_frames) too_many_frames();
  }
  // Pushes a frame already counted as pending (one a fast path stood for until now).
  void adopt(Frame* frame) { stack_.push_back(frame); }
  [[noreturn]] static void too_many_frames();
  bool next_step();
  // Runs until the stack is empty; an error leaves with every frame still in place.
  void run();
  // The root frame's result, once run() has returned.
  Value* result() const { return result_; }
  // Trace text: the frames' lines bottom to top, or "(nothing to do)".
  std::string display() const;
  // The trace lines in report order: the failing frame first.
  std::vector<std::string> trace_lines() const;
  // The pending frames, the root first.
  const std::vector<Frame*>& frames() const { return stack_; }

  void visit_roots(Visitor& visit) override;

  Runtime& runtime;
  Heap& heap;

 private:
  template <bool bounded>
  void run_steps();
  void pop_finished();
  [[noreturn]] void exhausted() const;
  std::vector<Frame*> stack_;
  Value* result_ = nullptr;
};

}  // namespace brevalon

// The frame that stands for the dispatcher's pending frames while the method it chose runs.
#pragma once
#include "eval/frame.h"

namespace brevalon {

struct LispFunc;
struct Runtime;

// Where the step-by-step dispatcher calls its method, 20 of its frames are pending between the
// generic's call and the method's: this frame shows their lines, counts as all of them against the
// frame limit, and passes the method's result on, as they would.
struct DispatchFrame final : Frame, Pooled<DispatchFrame> {
  static constexpr size_t frames_stood_for = 20;

  DispatchFrame(Runtime& runtime, LispFunc* generic, Value* method, Value* arguments);
  ~DispatchFrame() override;
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override { result = value; }
  Value* finish() override { return result; }
  std::string display() override;
  void append_source_forms(std::vector<Value*>& forms) override;
  void visit_edges(Visitor& visit) override;

  enum class State : uint8_t { start, awaiting_method };

  Runtime& runtime;
  LispFunc* generic;
  Value* method;
  Value* arguments;
  State state = State::start;
  Value* result = nullptr;
};

}  // namespace brevalon

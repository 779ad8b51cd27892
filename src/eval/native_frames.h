// The frames that run built-ins: a native routine in one step, a resumable native step by step.
#pragma once
#include "eval/frame.h"
#include "eval/resumable.h"
#include "values/function.h"

namespace brevalon {

struct NativeCallFrame final : Frame, Pooled<NativeCallFrame> {
  NativeCallFrame(NativeFunc* f, Value* args, Environment* env) : native(f), arguments(args), environment(env) {}
  bool next_step(Interpreter& interpreter) override;
  Value* finish() override { return result; }
  std::string display() override { return "NativeCallFrame: " + native->name; }
  void visit_edges(Visitor& visit) override;

  NativeFunc* native;
  Value* arguments;
  Environment* environment;
  Value* result = nullptr;
};

struct ResumableNativeCallFrame final : Frame, Pooled<ResumableNativeCallFrame> {
  ResumableNativeCallFrame(ResumableNative* f, Value* args, Environment* env)
      : native(f), arguments(args), environment(env) {}
  ~ResumableNativeCallFrame() override { delete state_object; }
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override { state_object->resume(value); }
  Value* finish() override { return result; }
  std::string display() override { return "ResumableNativeCallFrame: " + native->name; }
  void visit_edges(Visitor& visit) override;

  ResumableNative* native;
  // The arguments go to the state object when it starts, the result comes from it when it is done.
  union {
    Value* arguments;
    Value* result;
  };
  Environment* environment;
  ResumableState* state_object = nullptr;
};

}  // namespace brevalon

// The protocol of a resumable native: a small state machine that asks the interpreter for evaluations.
#pragma once
#include <type_traits>

#include "eval/frame.h"
#include "memory/heap.h"
#include "values/list.h"

namespace brevalon {

struct Environment;

struct ResumableState {
  virtual ~ResumableState() = default;
  // Stores what the call needs; may push one child frame.
  virtual void init(Interpreter& interpreter, Environment* environment, Value* arguments) = 0;
  // One step; may push one child and return false. Returns true once the result is set.
  virtual bool next_step(Interpreter& interpreter) = 0;
  // The finished child's result. Never pushes.
  virtual void resume(Value*) {}
  virtual Value* result(Heap& heap) { return heap.constants.nil; }
  virtual void visit_edges(Visitor& visit) = 0;

  // Where a fast path that ran a call's first steps itself hands it on part-way: if waiting for
  // its condition or for a branch; and/or at `first` in the arguments, waiting for the operand
  // `second`; for waiting for its iterator, an element from the iterator `first` or a run of the
  // body in the scope `second`, with `third` the body's last value. Only the natives a fast path
  // runs itself can be restored.
  enum class Phase : uint8_t { condition, then_branch, else_branch, operand, iterator, element, body };
  virtual void restore(Heap& heap, Environment* environment, Value* arguments, Phase phase, Value* first,
                       Value* second, Value* third);
};

template <typename T>
ResumableState* make_state(FramePools& pools) {
  if constexpr (std::is_base_of_v<Pooled<T>, T>) {
    return new (pools) T();
  } else {
    return new T();
  }
}

}  // namespace brevalon

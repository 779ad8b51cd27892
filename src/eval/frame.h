// The frame protocol: a unit of pending work on an interpreter's stack, stepped by the trampoline.
#pragma once
#include <string>
#include <vector>

#include "memory/frame_pools.h"
#include "values/value.h"

namespace brevalon {

class Interpreter;

struct Frame {
  virtual ~Frame() = default;
  // One step; pushing a child returns false, completing the work returns true.
  virtual bool next_step(Interpreter& interpreter) = 0;
  // The result of the child that has just finished. Never pushes.
  virtual void resume(Value*) {}
  virtual Value* finish() = 0;
  // The frame's trace line.
  virtual std::string display() = 0;
  // The form this frame works on, for diagnostics that say where; null when it has none.
  virtual Value* source_form() { return nullptr; }
  // The forms of the frames this one stands for, outermost first, one per frame (null for a frame
  // with none); a frame that stands for several gives each of theirs, as they would.
  virtual void append_source_forms(std::vector<Value*>& forms) { forms.push_back(source_form()); }
  virtual void visit_edges(Visitor& visit) = 0;
};

// Frames are recycled through the run's free lists, so a step allocates nothing new in the steady state.
// Each block remembers the pools it came from, so deleting through a base pointer returns it there.
template <typename T>
struct Pooled {
  static void* operator new(size_t size, FramePools& pools) {
    static_assert(sizeof(T) <= FramePools::largest, "a pooled kind fits a size class");
    static_assert(alignof(T) <= FramePools::granule, "a pooled kind needs no more than the pools' alignment");
    return pools.take(size);
  }
  // Used only when a constructor throws.
  static void operator delete(void* block, FramePools&) { FramePools::give_back(block, sizeof(T)); }
  static void operator delete(void* block, size_t size) { FramePools::give_back(block, size); }
};

}  // namespace brevalon

// The frame protocol: a unit of pending work on an interpreter's stack, stepped by the trampoline.
#pragma once
#include <string>
#include <vector>

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

// Frames are recycled through a free list per kind, so a step allocates nothing new in the steady state.
// The lists hold only raw memory, never anything a run can observe, so runs on one thread share them;
// they are per thread so that runs on different threads never touch the same list.
template <typename T>
struct Pooled {
  static void* operator new(size_t size) {
    if (free_list) {
      void* block = free_list;
      free_list = *static_cast<void**>(block);
      return block;
    }
    return ::operator new(size < sizeof(void*) ? sizeof(void*) : size);
  }
  static void operator delete(void* block) {
    *static_cast<void**>(block) = free_list;
    free_list = block;
  }
  static inline thread_local void* free_list = nullptr;
};

}  // namespace brevalon

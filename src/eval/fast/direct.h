// The direct evaluator: a call form evaluated by recursion, its pending frames kept as plain records.
//
// It stands for the frames that evaluate calls, EvalFrame, EvalArgsFrame, CallFrame and ExecFrame,
// for natives run in place, for native dispatch (DispatchFrame), for the natives if, and, or and
// for, and for the prelude's map, filter and reduce (see list_walks.h), exactly as they step in
// this build: a record holds what its frame would hold, is pushed and popped where the frame would
// be, and counts against the frame limit as the frame would. What it does not run itself (any
// other special form, a budget spent, recursion past the top half of the machine stack) it hands
// on to the trampoline by turning its records into those frames (see record_frames.h), in the
// states they would be in, at a point where they can go on; an error does the same before it
// leaves, so the trace and the diagnostic see every pending frame. Nothing is done twice: the point
// handed on from is one where the frames have done nothing a program can see. Off in the faithful
// build.
#pragma once
#include <cstdint>
#include <memory>

#include "values/value.h"

namespace brevalon {

class Interpreter;
struct Environment;
struct EvalFrame;

// One pending frame; the meaning of the fields is its kind's (see direct.cpp).
struct DirectRecord {
  // The loops' records, each standing for the frames of many levels (see list_walks.h), come last.
  enum class Kind : uint8_t {
    eval, eval_args, call, exec, native_call, special, dispatch, function_call, if_call, eval_with_values,
    function_if, map_walk, filter_walk, reduce_walk
  };
  bool is_walk() const { return kind >= Kind::map_walk; }
  Kind kind;
  uint8_t state;  // the frame's own state enum, or the special native's phase
  uint32_t count;  // a walk's level, or the values in hand of eval_with_values or function_if
  Environment* environment;
  Value* a;
  Value* b;
  Value* c;
  Value* d;
  Value* e;
};

// The records the direct evaluator's recursion can push before it reaches the floor of the
// machine stack this thread has (see recursion_floor), each taking more stack than this divides
// by; at least 64 K.
size_t records_for_stack();

// The records of every direct evaluation running, innermost last; the collector reaches them.
// The block never moves, so a record stays where it was pushed; when it is nearly full, direct
// evaluation hands on to the trampoline.
static_assert(sizeof(DirectRecord) == 56, "a record is seven words");

struct DirectRecords {
  // More than one step of direct evaluation pushes before it looks at the room left.
  static constexpr size_t step_room = 16;
  // Room for as many records as the recursion the machine stack allows can push: see
  // records_for_stack().
  DirectRecords() : DirectRecords(records_for_stack()) {}
  explicit DirectRecords(size_t capacity)
      : block(new DirectRecord[capacity]), top(block.get()), end(block.get() + capacity),
        values(new Value*[2 * capacity]), values_top(values.get()), values_end(values.get() + 2 * capacity) {}
  bool has_room() const { return static_cast<size_t>(end - top) >= step_room; }
  bool has_value_room(size_t count) const { return static_cast<size_t>(values_end - values_top) >= count; }
  void visit_edges(Visitor& visit);

  std::unique_ptr<DirectRecord[]> block;
  DirectRecord* top;  // one past the innermost record
  DirectRecord* end;
  // The argument values of pending calls whose records hold no argument list, in the order of
  // their records: the list is made only if a record becomes frames, whose readers (a
  // diagnostic naming the argument types) may look at it.
  std::unique_ptr<Value*[]> values;
  Value** values_top;
  Value** values_end;
};

// Evaluates the call form of `base`, an EvalFrame about to start. True when its result is set;
// false when frames were pushed above it (or its state moved on) for the trampoline to go on with.
bool evaluate_directly(Interpreter& interpreter, EvalFrame& base);

}  // namespace brevalon

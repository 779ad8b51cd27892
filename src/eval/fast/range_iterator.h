// Native range and the iterator closure it returns, standing for the prelude's range text.
//
// range builds the two scopes its call and its let would build (limit in the first, counter in
// the second, which the iterator closes over) and a closure with the prelude's own iterator body;
// calling that closure reads counter and limit from those scopes, compares them as = would, and
// writes the next counter back through the scope's write path, as set-symbol would. Both are used
// only while no start-up binding has changed (the iterator's + also while add's methods are
// start-up's own); the iterator only while its scopes hold exactly the bindings range gave them
// and counter and limit are integers. Anything else runs the prelude's text step by step.
#pragma once
#include "values/value.h"

namespace brevalon {

struct LispFunc;
struct Name;
struct Runtime;

// What range's text holds, found after start-up; `range` is null when its text is not as expected.
struct RangeText {
  LispFunc* range = nullptr;
  Value* limit_parameter = nullptr;   // range's parameter symbol
  Value* counter_parameter = nullptr; // the let's parameter symbol
  Value* counter_start = nullptr;     // the literal the let sets counter to
  Value* step_body = nullptr;         // the iterator's body forms: recognises an iterator by identity
  const Name* limit = nullptr;
  const Name* counter = nullptr;
};

// After start-up: checks range's text and records where its parts are; true when it can be marked.
bool arm_range(Runtime& runtime, LispFunc* range);

// A call of range with the given limit: the iterator closure, made as the prelude would make it.
Value* native_range(Runtime& runtime, Value* limit);

// A call of an iterator that native_range made: the list of its next element, nil at the end, or
// null when the call takes the faithful path. Looks first at what the iterator's text reads: the
// prelude as start-up left it, add's methods included.
Value* native_range_step(Runtime& runtime, LispFunc* iterator);

// The same step for a loop that takes the element out of that list, which nobody else sees: the
// element itself, nil at the end, or null.
Value* native_range_next(Runtime& runtime, LispFunc* iterator);

}  // namespace brevalon

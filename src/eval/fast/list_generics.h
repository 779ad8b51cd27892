// Native at and in on lists, standing for the generics' start-up methods on cells and on nil.
//
// at stands for the cell method, which recurses through the generic with (cdr x) and (- i 1) until
// the index is 0; in for the cell method, which compares each element with = and recurses through
// the generic, and the unique method, which answers false for nil. Both are used only while no
// start-up binding has changed and the generic's method-store entry is start-up's own; an index
// past the end, a negative one, an improper list, a value = cannot compare, and a call the
// step-by-step methods would take too close to the frame limit take the faithful path.
#pragma once
#include "values/value.h"

namespace brevalon {

struct Runtime;

// (at list index): the element, or null when the call takes the faithful path.
Value* native_at(Runtime& runtime, Value* list, Value* index);

// (in list item): true or false, or null when the call takes the faithful path.
Value* native_in(Runtime& runtime, Value* list, Value* item);

}  // namespace brevalon

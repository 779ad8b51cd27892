// Native + on lists, standing for add's start-up methods on cells and nil, as the prelude's + and sum reach them.
//
// + and sum add their arguments pairwise through add, left to right. On two lists add's cell
// method is (concat-helper (reverse x) y): new cells for x's elements ending in y itself; with nil
// on either side the other argument comes back itself. Used only while no start-up binding has
// changed and the method-store entries of add and iter (reverse walks x through iter) are
// start-up's own. Any argument but the last that is not a proper list, and any call that the
// step-by-step functions would take too close to the frame limit, take the faithful path.
#pragma once
#include "values/value.h"

namespace brevalon {

struct Runtime;

// (+ lists...) for a list of arguments that starts with a list; null when the call takes the
// faithful path.
Value* add_lists(Runtime& runtime, Value* arguments);

}  // namespace brevalon

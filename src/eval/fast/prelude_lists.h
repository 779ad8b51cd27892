// Native length, nth and reverse on lists, standing for the prelude's functions of those names.
//
// length stands for the generic's methods on cells and on nil (which count through +), nth for its
// recursion over cdr, reverse for its for loop over iter. Each is used only while no start-up
// binding has changed and, for length and reverse, while method-store holds the start-up methods
// of length, add and iter. Any argument they do not handle (a string, an improper list, an index
// past the end) and any call that the step-by-step functions would take too close to the frame
// limit goes the faithful way from the start.
#pragma once
#include "values/value.h"

namespace brevalon {

struct LispFunc;
struct Runtime;

enum PreludeRole : uint8_t { role_none, role_length, role_nth, role_reverse };

// After start-up: marks the functions these stand for.
void arm_prelude_lists(Runtime& runtime);

// The result of a call of `function`, or null when the call takes the faithful path.
Value* native_prelude_call(Runtime& runtime, LispFunc* function, Value* arguments);

}  // namespace brevalon

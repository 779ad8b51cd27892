// Native prelude functions: which function stands for what, and length, nth and reverse on lists.
//
// A prelude function is marked with its role after start-up (the iterators range returns when
// range makes them), and a call of a marked function is computed natively when the role's own
// conditions hold: see range_iterator.h, list_generics.h, list_plus.h and prelude_predicates.h
// for the others.
//
// length stands for the generic's methods on cells and on nil (which count through +), nth for
// its recursion over cdr, reverse for its for loop over iter. Each is used only while no start-up
// binding has changed and, for length and reverse, while method-store holds the start-up methods
// of length, add and iter. Any argument they do not handle (a string, an improper list, an index
// past the end) and any call that the step-by-step functions would take too close to the frame
// limit goes the faithful way from the start.
#pragma once
#include "values/value.h"

namespace brevalon {

struct LispFunc;
struct Runtime;

enum PreludeRole : uint8_t {
  role_none,
  role_length,
  role_nth,
  role_reverse,
  role_range,
  role_range_step,
  role_at,
  role_in,
  role_sum,
  role_is_string,
  role_is_integer,
  role_is_symbol,
  role_is_cons,
  role_is_dict,
  role_is_nil,
  role_is_list,
  role_is_instance,
  role_map,
  role_filter,
  role_reduce,
};

// After start-up: marks the functions these stand for.
void arm_prelude_lists(Runtime& runtime);

// The result of a call of `function`, or null when the call takes the faithful path.
Value* native_prelude_call(Runtime& runtime, LispFunc* function, Value* arguments);

}  // namespace brevalon

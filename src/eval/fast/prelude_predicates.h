// Native is-instance and the prelude's type predicates built on it and on =.
//
// is-string, is-integer, is-symbol, is-cons and is-dict stand for (is-instance x TYPE), is-instance
// for (is-subclass (get-type x) y), is-nil for (= x nil) and is-list for (or (= x nil)
// (is-instance x cell)). They are used only while no start-up binding has changed; a class chain
// too long to follow here, a value = cannot compare, and a call near the frame limit take the
// faithful path.
#pragma once
#include <cstdint>

#include "values/value.h"

namespace brevalon {

struct Runtime;

// What a predicate tests; see prelude_lists.h for the roles that name them.
enum class Predicate : uint8_t { is_string, is_integer, is_symbol, is_cons, is_dict, is_nil, is_list, is_instance };

// True when the global bindings the predicates read hold the run's own types.
bool predicate_types_in_place(Runtime& runtime);

// The answer of `predicate` for the call's arguments (one, two for is-instance), or null when the
// call takes the faithful path.
Value* native_predicate(Runtime& runtime, Predicate predicate, Value* first, Value* second);

}  // namespace brevalon

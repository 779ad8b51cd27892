// The list functions of the prelude computed in one go when nothing they stand for has changed.
#include "eval/fast/prelude_lists.h"

#include "eval/fast/counted_lists.h"
#include "eval/fast/list_generics.h"
#include "eval/fast/list_walks.h"
#include "eval/fast/prelude_predicates.h"
#include "eval/fast/range_iterator.h"
#include "eval/runtime.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"

namespace brevalon {
namespace {

// Pending frames per element the step-by-step functions can need at most (length with its
// dispatcher, nth with its if), and those beside them.
constexpr size_t length_frames_per_cell = 64;
constexpr size_t nth_frames_per_step = 16;
constexpr size_t frames_beside = 1000;

bool frames_fit(const Runtime& runtime, size_t frames) {
  return runtime.frame_count + frames_beside + frames <= Runtime::max_frames;
}

// The arguments of a call that takes exactly `count`, or false.
bool take(Value* arguments, Value** out, size_t count, Value* nil) {
  for (size_t i = 0; i < count; ++i) {
    if (arguments->kind != Kind::Cell) return false;
    out[i] = car(arguments);
    arguments = cdr(arguments);
  }
  return arguments == nil;
}

Value* native_length(Runtime& runtime, Value* list) {
  int64_t count = count_cells(runtime, list);
  if (count < 0 || !frames_fit(runtime, (static_cast<size_t>(count) + 1) * length_frames_per_cell)) return nullptr;
  return runtime.heap.make<Integer>(count);
}

Value* native_nth(Runtime& runtime, Value* index, Value* list) {
  if (index->kind != Kind::Integer) return nullptr;
  int64_t steps = as<Integer>(index)->value;
  if (steps < 0 || !frames_fit(runtime, (static_cast<size_t>(steps) + 1) * nth_frames_per_step)) return nullptr;
  // Past the end of a list counted before, the call takes the faithful path at once (see native_at).
  if (int64_t known = known_cells(runtime, list); known >= 0 && steps >= known) return nullptr;
  Value* start = list;
  size_t walked = 0;
  for (; steps > 0; --steps, ++walked) {
    if (list->kind != Kind::Cell) break;
    list = cdr(list);
  }
  if (steps == 0 && list->kind == Kind::Cell) return car(list);
  if (list == runtime.heap.constants.nil) remember_cells(runtime, start, walked);
  return nullptr;
}

Value* native_reverse(Runtime& runtime, Value* list) {
  Value* nil = runtime.heap.constants.nil;
  Value* end = list;
  for (; end->kind == Kind::Cell; end = cdr(end)) {}
  if (end != nil || !frames_fit(runtime, 0)) return nullptr;
  Value* reversed = nil;
  for (; list->kind == Kind::Cell; list = cdr(list)) reversed = runtime.heap.make<Cell>(car(list), reversed);
  return reversed;
}

LispFunc* prelude_function(Runtime& runtime, const char* name) {
  NamedSymbol symbol(runtime.heap.names.intern(name));
  Value* function = runtime.global->lookup(&symbol);
  if (!function || function->kind != Kind::Function || as<Function>(function)->exec_mode != mode_function) return nullptr;
  Value* impl = as<Function>(function)->implementation;
  return impl->kind == Kind::LispFunc ? as<LispFunc>(impl) : nullptr;
}

void mark(Runtime& runtime, const char* name, PreludeRole role) {
  if (LispFunc* function = prelude_function(runtime, name)) function->prelude_role = role;
}

struct PredicateRole {
  const char* name;
  PreludeRole role;
  Predicate predicate;
};
constexpr PredicateRole predicate_roles[] = {
    {"is-string", role_is_string, Predicate::is_string}, {"is-integer", role_is_integer, Predicate::is_integer},
    {"is-symbol", role_is_symbol, Predicate::is_symbol}, {"is-cons", role_is_cons, Predicate::is_cons},
    {"is-dict", role_is_dict, Predicate::is_dict},       {"is-nil", role_is_nil, Predicate::is_nil},
    {"is-list", role_is_list, Predicate::is_list},       {"is-instance", role_is_instance, Predicate::is_instance},
};

}  // namespace

void arm_prelude_lists(Runtime& runtime) {
  mark(runtime, "length", role_length);
  mark(runtime, "nth", role_nth);
  mark(runtime, "reverse", role_reverse);
  mark(runtime, "at", role_at);
  mark(runtime, "in", role_in);
  mark(runtime, "sum", role_sum);
  if (predicate_types_in_place(runtime))
    for (const PredicateRole& entry : predicate_roles) mark(runtime, entry.name, entry.role);
  LispFunc* map = prelude_function(runtime, "map");
  if (map && arm_map(runtime, map)) map->prelude_role = role_map;
  LispFunc* filter = prelude_function(runtime, "filter");
  if (filter && arm_filter(runtime, filter)) filter->prelude_role = role_filter;
  LispFunc* reduce = prelude_function(runtime, "reduce");
  if (reduce && arm_reduce(runtime, reduce)) reduce->prelude_role = role_reduce;
  LispFunc* range = prelude_function(runtime, "range");
  if (range && arm_range(runtime, range)) range->prelude_role = role_range;
}

Value* native_prelude_call(Runtime& runtime, LispFunc* function, Value* arguments) {
  FastPaths& paths = runtime.fast_paths;
  Value* nil = runtime.heap.constants.nil;
  Value* given[2];
  switch (function->prelude_role) {
    case role_length:
      if (!paths.prelude_intact(FastPaths::length_entry | FastPaths::add_entry) || !take(arguments, given, 1, nil))
        return nullptr;
      return native_length(runtime, given[0]);
    case role_nth:
      if (!paths.prelude_intact(0) || !take(arguments, given, 2, nil)) return nullptr;
      return native_nth(runtime, given[0], given[1]);
    case role_reverse:
      if (!paths.prelude_intact(FastPaths::iter_entry) || !take(arguments, given, 1, nil)) return nullptr;
      return native_reverse(runtime, given[0]);
    case role_range:
      if (!paths.prelude_intact(0) || !take(arguments, given, 1, nil)) return nullptr;
      return native_range(runtime, given[0]);
    case role_range_step:
      if (arguments != nil) return nullptr;
      return native_range_step(runtime, function);
    case role_at:
      if (!paths.prelude_intact(FastPaths::at_entry) || !take(arguments, given, 2, nil)) return nullptr;
      return native_at(runtime, given[0], given[1]);
    case role_in:
      if (!paths.prelude_intact(FastPaths::in_entry) || !take(arguments, given, 2, nil)) return nullptr;
      return native_in(runtime, given[0], given[1]);
    case role_sum:
      // (sum elts) is (reduce add elts): + of the elements.
      if (!paths.prelude_intact(FastPaths::add_entry) || !take(arguments, given, 1, nil)) return nullptr;
      return fast_plus(runtime, given[0]);
    case role_is_instance:
      if (!paths.prelude_intact(0) || !take(arguments, given, 2, nil)) return nullptr;
      return native_predicate(runtime, Predicate::is_instance, given[0], given[1]);
    case role_none:
    case role_map:  // loops of the direct evaluator's
    case role_filter:
    case role_reduce:
      return nullptr;
    default:
      for (const PredicateRole& entry : predicate_roles) {
        if (entry.role != function->prelude_role) continue;
        if (!paths.prelude_intact(0) || !take(arguments, given, 1, nil)) return nullptr;
        return native_predicate(runtime, entry.predicate, given[0], nullptr);
      }
      return nullptr;
  }
}

}  // namespace brevalon

// The list functions of the prelude computed in one go when nothing they stand for has changed.
#include "eval/fast/prelude_lists.h"

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
  Value* nil = runtime.heap.constants.nil;
  int64_t count = 0;
  for (; list->kind == Kind::Cell; list = cdr(list)) ++count;
  if (list != nil || !frames_fit(runtime, (count + 1) * length_frames_per_cell)) return nullptr;
  return runtime.heap.make<Integer>(count);
}

Value* native_nth(Runtime& runtime, Value* index, Value* list) {
  if (index->kind != Kind::Integer) return nullptr;
  int64_t steps = as<Integer>(index)->value;
  if (steps < 0 || !frames_fit(runtime, (static_cast<size_t>(steps) + 1) * nth_frames_per_step)) return nullptr;
  for (; steps > 0; --steps) {
    if (list->kind != Kind::Cell) return nullptr;
    list = cdr(list);
  }
  return list->kind == Kind::Cell ? car(list) : nullptr;
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

void mark(Runtime& runtime, const char* name, PreludeRole role) {
  NamedSymbol symbol(runtime.heap.names.intern(name));
  Value* function = runtime.global->lookup(&symbol);
  if (!function || function->kind != Kind::Function) return;
  Value* impl = as<Function>(function)->implementation;
  if (impl->kind == Kind::LispFunc) as<LispFunc>(impl)->prelude_role = role;
}

}  // namespace

void arm_prelude_lists(Runtime& runtime) {
  mark(runtime, "length", role_length);
  mark(runtime, "nth", role_nth);
  mark(runtime, "reverse", role_reverse);
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
    default:
      return nullptr;
  }
}

}  // namespace brevalon

// The + fast path: integer, string and list addition without the generic dispatch, when nothing was rebound.
#include "eval/fast_paths.h"

#include "eval/fast/list_plus.h"
#include "eval/fast/prelude_lists.h"
#include "eval/fast/prelude_plus.h"

#include <iterator>

#include "values/arithmetic.h"
#include "eval/runtime.h"
#include "values/dictionary.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"

namespace brevalon {

namespace {

void watch(Runtime& runtime, Value* value) {
  if (value->kind == Kind::Environment) {
    auto* env = as<Environment>(value);
    env->watch(runtime.fast_paths.changes);
    for (size_t i = 0; i < env->named_count(); ++i) env->named_at(i).name->watch_groups |= watch_any;
  } else if (value->kind == Kind::Hashtable) {
    as<Hashtable>(value)->watch_counter = &runtime.fast_paths.table_changes;
  }
}

// What the fast paths stand for, found once the start-up scopes and tables are watched.
void arm_watched(Runtime& runtime) {
  uint64_t* counter = runtime.fast_paths.changes;
  NamedSymbol plus(runtime.heap.names.intern("+"));
  runtime.fast_paths.plus = runtime.global->lookup(&plus);
  auto special = [&runtime](const char* name) -> ResumableNative* {
    NamedSymbol symbol(runtime.heap.names.intern(name));
    Value* value = runtime.global->lookup(&symbol);
    if (!value || value->kind != Kind::Function) return nullptr;
    Value* impl = as<Function>(value)->implementation;
    return impl->kind == Kind::ResumableNative ? as<ResumableNative>(impl) : nullptr;
  };
  runtime.fast_paths.if_native = special("if");
  runtime.fast_paths.and_native = special("and");
  runtime.fast_paths.or_native = special("or");
  runtime.fast_paths.for_native = special("for");
  NamedSymbol quote(runtime.heap.names.intern("quote"));
  if (Value* value = runtime.global->lookup(&quote); value && value->kind == Kind::Function)
    runtime.fast_paths.quote_native = as<Function>(value)->implementation;
  arm_dispatch(runtime, counter);
  arm_prelude_lists(runtime);
  FastPaths& paths = runtime.fast_paths;
  if (Hashtable* store = paths.dispatch.method_store) {
    for (size_t i = 0; i < std::size(FastPaths::store_keys); ++i) {
      paths.store_entries[i] = store->get(FastPaths::store_keys[i]);
      if (paths.store_entries[i]) paths.entries_unchanged |= uint8_t(1u << i);
    }
    paths.method_store_version = store->version;
    paths.store_version = &store->version;
  }
}

}  // namespace

void arm_fast_paths(Runtime& runtime) {
  if constexpr (!fast_paths_built) return;
  runtime.heap.for_each_object([&runtime](Value* value) { watch(runtime, value); });
  arm_watched(runtime);
}

void arm_fast_paths(Runtime& runtime, const std::vector<Value*>& scopes_and_tables) {
  if constexpr (!fast_paths_built) return;
  for (Value* value : scopes_and_tables) watch(runtime, value);
  arm_watched(runtime);
}

void FastPaths::look_at_store_again() {
  Hashtable* store = dispatch.method_store;
  for (size_t i = 0; i < std::size(store_keys); ++i)
    if (store->get(store_keys[i]) != store_entries[i]) entries_unchanged &= uint8_t(~(1u << i));
  method_store_version = store->version;
}

namespace {

// The prelude's + of `count` operands, `first` among them, all integers or all strings; null
// otherwise. `for_each(take)` calls take on each operand in order.
template <typename ForEach>
Value* plus_of_one_kind(Runtime& runtime, Value* first, size_t count, ForEach for_each) {
  Kind kind = first->kind;
  if (kind != Kind::Integer && kind != Kind::String) return nullptr;
  bool one_kind = true;
  for_each([&](Value* operand) { one_kind = one_kind && operand->kind == kind; });
  if (!one_kind) return nullptr;
  // Near the frame limit the prelude's + would run out of frames where this path does not:
  // leave that to the prelude, so the limit is reached at the same call with the same trace.
  if (runtime.frame_count + frames_of_prelude_plus(count) > Runtime::max_frames) return nullptr;
  // One argument comes back itself: reduce never calls add.
  if (count == 1) return first;
  return add_like_prelude(runtime.heap, kind, for_each);
}

}  // namespace

Value* fast_plus(Runtime& runtime, Value* arguments) {
  if (arguments->kind != Kind::Cell) return nullptr;
  Value* first = car(arguments);
  if (first->kind == Kind::Cell || first == runtime.heap.constants.nil) return add_lists(runtime, arguments);
  size_t count = 0;
  Value* rest = arguments;
  for (; rest->kind == Kind::Cell; rest = cdr(rest)) ++count;
  if (rest != runtime.heap.constants.nil) return nullptr;
  return plus_of_one_kind(runtime, first, count, [arguments](auto take) {
    for (Value* rest = arguments; rest->kind == Kind::Cell; rest = cdr(rest)) take(car(rest));
  });
}

Value* fast_plus(Runtime& runtime, Value* const* values, size_t count) {
  if (count == 2 && runtime.frame_count + frames_of_prelude_plus(2) <= Runtime::max_frames)
    if (Value* sum = add_two_integers_like_prelude(runtime.heap, values[0], values[1])) return sum;
  if (count == 0) return nullptr;
  return plus_of_one_kind(runtime, values[0], count, [values, count](auto take) {
    for (size_t i = 0; i < count; ++i) take(values[i]);
  });
}

}  // namespace brevalon

// The range iterator computed in one step: the scopes, the closure and each element as the prelude's text makes them.
#include "eval/fast/range_iterator.h"

#include <cstdint>

#include "eval/fast/prelude_lists.h"
#include "eval/runtime.h"
#include "printer/printer.h"
#include "values/arithmetic.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"

namespace brevalon {
namespace {

// range's body as start-up leaves it, its let expanded: ((fn (counter) set iterator) nil). The
// iterator's body is what the step below computes, so any other text leaves range unmarked.
constexpr const char* range_body_text =
    "(((fn (counter) (set-symbol (quote counter) 0) (fn nil (if (= counter limit) nil ((fn nil (set-symbol "
    "(quote counter) (+ 1 counter)) (list (- counter 1))))))) nil))";

// Frames the step-by-step iterator has pending at most, with those of the + inside it when +
// itself goes step by step near the limit (which the fast + leaves to the prelude), and those
// beside them.
constexpr size_t step_frames = 64 + 4096 + 256 * 2;
constexpr size_t range_frames = 64;
constexpr size_t frames_beside = 1000;

bool frames_fit(const Runtime& runtime, size_t frames) {
  return runtime.frame_count + frames_beside + frames <= Runtime::max_frames;
}

// A scope holding its two reserved bindings and then exactly `name`: nothing else can shadow
// what the iterator's text reads through it. Its value, or null.
Value* sole_binding(const Runtime& runtime, const Environment* scope, const Name* name) {
  const Names& names = runtime.heap.names;
  if (scope->named_count() != 3 || scope->named_at(0).name != names.current_scope ||
      scope->named_at(1).name != names.parent_scope || scope->named_at(2).name != name)
    return nullptr;
  return scope->named_at(2).value;
}

}  // namespace

bool arm_range(Runtime& runtime, LispFunc* range) {
  RangeText& text = runtime.fast_paths.range;
  if (range->parameters.size() != 1 || range->rest_parameter ||
      range->parameters[0]->kind != Kind::NamedSymbol || represent(range->body) != range_body_text)
    return false;
  Value* let_call = element(range->body, 0);
  Value* let_function = element(let_call, 0);
  Value* assignment = element(let_function, 2);
  Value* iterator_form = element(let_function, 3);
  text.limit_parameter = range->parameters[0];
  text.counter_parameter = element(element(let_function, 1), 0);
  text.counter_start = element(assignment, 2);
  text.step_body = cdr(cdr(iterator_form));
  text.limit = as<NamedSymbol>(text.limit_parameter)->name;
  text.counter = as<NamedSymbol>(text.counter_parameter)->name;
  text.range = range;
  return true;
}

Value* native_range(Runtime& runtime, Value* limit) {
  if (!frames_fit(runtime, range_frames)) return nullptr;
  const RangeText& text = runtime.fast_paths.range;
  Heap& heap = runtime.heap;
  // The call's scope, then the let's, whose parameter starts as nil before the let sets it.
  Environment* call_scope = make_environment(heap, text.range->closure);
  call_scope->bind(text.limit_parameter, limit);
  Environment* let_scope = make_environment(heap, call_scope);
  let_scope->bind(text.counter_parameter, heap.constants.nil);
  let_scope->set_named(text.counter, text.counter_start);
  auto* iterator = heap.make<LispFunc>();
  iterator->closure = let_scope;
  iterator->body = text.step_body;
  iterator->prelude_role = role_range_step;
  return heap.make<Function>(mode_function, iterator);
}

namespace {

// The iterator's step once what it stands for is known to be unchanged: the next element itself,
// nil at the end, or null.
Value* next_element(Runtime& runtime, LispFunc* iterator) {
  const RangeText& text = runtime.fast_paths.range;
  if (iterator->body != text.step_body || !frames_fit(runtime, step_frames)) return nullptr;
  Environment* let_scope = iterator->closure;
  Environment* call_scope = let_scope->parent;
  if (!call_scope || call_scope->parent != text.range->closure) return nullptr;
  Value* counter = sole_binding(runtime, let_scope, text.counter);
  Value* limit = sole_binding(runtime, call_scope, text.limit);
  if (!counter || !limit || counter->kind != Kind::Integer || limit->kind != Kind::Integer) return nullptr;
  int64_t value = as<Integer>(counter)->value;
  Heap& heap = runtime.heap;
  if (value == as<Integer>(limit)->value) return heap.constants.nil;
  // (+ 1 counter) adds through doubles; (- counter 1) wraps around.
  int64_t next = add_through_double(1, value);
  auto element_value = static_cast<int64_t>(static_cast<uint64_t>(next) - 1u);
  // sole_binding found the counter third.
  let_scope->set_named_at(2, heap.make<Integer>(next));
  return heap.make<Integer>(element_value);
}

}  // namespace

Value* native_range_next(Runtime& runtime, LispFunc* iterator) {
  // The step's + is the fast one only while add's methods are start-up's own.
  if (iterator->prelude_role != role_range_step || !runtime.fast_paths.prelude_intact(FastPaths::add_entry)) return nullptr;
  return next_element(runtime, iterator);
}

Value* native_range_step(Runtime& runtime, LispFunc* iterator) {
  Value* element = native_range_next(runtime, iterator);
  Value* nil = runtime.heap.constants.nil;
  if (!element || element == nil) return element;
  return runtime.heap.make<Cell>(element, nil);
}

}  // namespace brevalon

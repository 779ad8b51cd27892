// Quick natives and the quick prelude + (see quick_calls.h).
#include "eval/fast/quick_calls.h"

#include "eval/eval_frames.h"
#include "eval/fast_paths.h"
#include "eval/runtime.h"
#include "memory/heap.h"
#include "values/arithmetic.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"

namespace brevalon {

namespace {

// Up to `capacity` operand forms, each an atom with a value, into `operands`; their count, or
// -1 when any form is a list, an unbound symbol or an improper tail, or there are more.
int atom_operands(const Heap& heap, Environment* environment, Value* forms, Value** operands, int capacity) {
  int count = 0;
  for (; forms->kind == Kind::Cell; forms = cdr(forms)) {
    Value* form = car(forms);
    if (count == capacity || form->kind == Kind::Cell || !evaluate_atom(environment, form, operands[count])) return -1;
    ++count;
  }
  return forms == heap.constants.nil ? count : -1;
}

// The prelude's + of two to four integers or strings, added pairwise from the left as add does.
Value* quick_plus(Runtime& runtime, Environment* environment, Value* forms) {
  constexpr int most = 4;
  Value* operands[most];
  int count = atom_operands(runtime.heap, environment, forms, operands, most);
  if (count < 2) return nullptr;
  Kind kind = operands[0]->kind;
  if (kind != Kind::Integer && kind != Kind::String) return nullptr;
  for (int i = 1; i < count; ++i)
    if (operands[i]->kind != kind) return nullptr;
  // The CallFrame, then everything the prelude's + would have pending below it.
  if (runtime.frame_count + 1 + frames_of_prelude_plus(count) > Runtime::max_frames) return nullptr;
  if (kind == Kind::Integer) {
    int64_t sum = as<Integer>(operands[0])->value;
    for (int i = 1; i < count; ++i) sum = add_through_double(sum, as<Integer>(operands[i])->value);
    return runtime.heap.make<Integer>(sum);
  }
  std::string text = as<String>(operands[0])->text;
  for (int i = 1; i < count; ++i) text += as<String>(operands[i])->text;
  return runtime.heap.make<String>(std::move(text));
}

}  // namespace

Value* quick_call(Runtime& runtime, Environment* environment, Value* callee, Value* forms) {
  Value* impl = as<Function>(callee)->implementation;
  if (impl->kind == Kind::NativeFunc) {
    auto* native = as<NativeFunc>(impl);
    if (!native->quick) return nullptr;
    Value* operands[2];
    if (atom_operands(runtime.heap, environment, forms, operands, 2) != native->quick_arity) return nullptr;
    // The CallFrame and the native's frame.
    if (runtime.frame_count + 2 > Runtime::max_frames) return nullptr;
    return native->quick(runtime.heap, operands);
  }
  FastPaths& paths = runtime.fast_paths;
  if (callee == paths.plus && paths.plus_intact()) return quick_plus(runtime, environment, forms);
  return nullptr;
}

}  // namespace brevalon

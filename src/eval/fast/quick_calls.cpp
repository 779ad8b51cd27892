// Quick natives and the quick prelude + (see quick_calls.h).
#include "eval/fast/quick_calls.h"

#include "eval/eval_frames.h"
#include "eval/fast/prelude_plus.h"
#include "eval/fast_paths.h"
#include "memory/heap.h"
#include "values/list.h"
#include "values/scalars.h"

namespace brevalon {

namespace {

// More than the frames a quick call stands for: its operands' argument frames, EvalFrames,
// CallFrames and native frames two levels deep, and the prelude's + below one of them.
constexpr size_t frame_margin = 16 + 4096 + 256 * 4;

inline bool evaluate_operand_atom(Runtime& runtime, Environment* environment, Value* atom, Value*& result) {
  return evaluate_atom_named_first(runtime.global, environment, atom, result);
}

// The count of a list of operand forms that is a proper list of one or two atoms (Cell::atom_operands).
[[gnu::noinline]] Cell::AtomOperands count_atom_operands(Cell* forms, Value* nil) {
  using Count = Cell::AtomOperands;
  if (car(forms)->kind == Kind::Cell) return Count::none;
  Value* rest = cdr(forms);
  if (rest == nil) return Count::one;
  if (rest->kind != Kind::Cell || car(rest)->kind == Kind::Cell || cdr(rest) != nil) return Count::none;
  return Count::two;
}

// The commonest quick call, taken before the general one: a native called as a function, with as
// many operand forms as its quick routine takes, one or two, each an atom. The routine's value,
// or null when it declines or an atom is unbound, as the general way has it; `shaped` is false,
// with nothing done, when the call has any other shape. Forms of atoms hold no call, so they are
// never marked as holding a slow one. `check_margin` is false for a call nested in another quick
// call, whose margin was looked at for all the calls in it.
template <bool check_margin = true>
inline Value* quick_call_of_atoms(Runtime& runtime, Environment* environment, Value* callee, NativeFunc* native,
                                  Value* forms, bool& shaped) {
  using Count = Cell::AtomOperands;
  shaped = false;
  if (as<Function>(callee)->exec_mode != mode_function || forms->kind != Kind::Cell) return nullptr;
  auto* list = static_cast<Cell*>(forms);
  if (list->atom_operands == Count::unknown) list->atom_operands = count_atom_operands(list, runtime.heap.constants.nil);
  // A routine takes one or two operands: the counts are those numbers.
  static_assert(uint8_t(Count::one) == 1 && uint8_t(Count::two) == 2);
  if (uint8_t(list->atom_operands) != native->quick_arity) return nullptr;
  shaped = true;
  if (check_margin && runtime.frame_count + frame_margin > Runtime::max_frames) return nullptr;
  Value* operands[2];
  if (!evaluate_operand_atom(runtime, environment, list->car, operands[0])) return nullptr;
  if (native->quick_arity == 2 && !evaluate_operand_atom(runtime, environment, car(list->cdr), operands[1])) return nullptr;
  return native->quick(runtime.heap, environment, operands);
}

class QuickCall {
 public:
  QuickCall(Runtime& runtime, Environment* environment) : runtime_(runtime), heap_(runtime.heap), environment_(environment) {}

  // The value of a call of `callee` with `forms`, made `depth` calls below the one asked for; null
  // when the general path must make it.
  Value* call(Value* callee, Value* forms, int depth) {
    NativeFunc* native = quick_native(callee);
    // quick_call_of tried the short way for the call asked for; a nested one tries it here first
    // (a macro never has its shape).
    if (native && depth > 0) {
      if (native->quick_has_effects) return nullptr;
      bool shaped;
      Value* value = quick_call_of_atoms<false>(runtime_, environment_, callee, native, forms, shaped);
      if (shaped) return value;
    }
    uint8_t mode = as<Function>(callee)->exec_mode;
    if (mode == mode_macro) return nullptr;
    if (native) {
      Value* operands[2];
      bool ready = mode == mode_function ? operands_of(forms, operands, 2, depth) == native->quick_arity
                   : native->quick_arity == quick_operand_list ? (operands[0] = forms, true)
                                                               : exactly(forms, native->quick_arity, operands);
      return ready ? native->quick(heap_, environment_, operands) : nullptr;
    }
    FastPaths& paths = runtime_.fast_paths;
    if (callee == paths.plus && paths.plus_intact()) return plus(forms, depth);
    return nullptr;
  }

  int values(Value* forms, Value** values, int capacity) { return operands_of(forms, values, capacity, 0); }

  // A call's argument list made here: every form an atom with a value or a quick call without
  // effects. Null, having done nothing a program could see, when one of them is anything else.
  Value* arguments(Value* forms) {
    constexpr int most = 8;
    Value* values[most];
    int count = operands_of(forms, values, most, 0);
    if (count < 0) return nullptr;
    return make_list(heap_, values, static_cast<size_t>(count));
  }

 private:
  static NativeFunc* quick_native(Value* callee) {
    Value* impl = as<Function>(callee)->implementation;
    if (impl->kind != Kind::NativeFunc || !as<NativeFunc>(impl)->quick) return nullptr;
    return as<NativeFunc>(impl);
  }

  // The elements of a proper list of `count` forms, into `forms`.
  bool exactly(Value* list, size_t count, Value** forms) const {
    for (size_t i = 0; i < count; ++i, list = cdr(list)) {
      if (list->kind != Kind::Cell) return false;
      forms[i] = car(list);
    }
    return list == heap_.constants.nil;
  }

  // The values of the operand forms, at most `capacity`: their count, or -1 when any of them
  // cannot be had here or the list is improper or longer. An operand that is a call is made here
  // only when it has no effects, so that a call declining after it has done nothing.
  int operands_of(Value* forms, Value** operands, int capacity, int depth) {
    int count = 0;
    Value* rest = forms;
    for (; rest->kind == Kind::Cell; rest = cdr(rest), ++count) {
      Value* form = car(rest);
      if (count == capacity) return -1;
      if (form->kind != Kind::Cell) {
        if (!evaluate_operand_atom(runtime_, environment_, form, operands[count])) return -1;
        continue;
      }
      Value* callee;
      if (depth == max_depth || car(form)->kind == Kind::Cell ||
          !evaluate_operand_atom(runtime_, environment_, car(form), callee) || callee->kind != Kind::Function)
        return -1;
      if (quotes(callee, cdr(form))) {
        operands[count] = car(cdr(form));
        continue;
      }
      if (!(operands[count] = call(callee, cdr(form), depth + 1))) return declined(forms, callee, cdr(form));
    }
    return rest == heap_.constants.nil ? count : -1;
  }

  // Whether a call of `callee` with `operand_forms` is quote's of one form, whose value is that
  // form: quote called as a special form, as its quick routine would answer it.
  bool quotes(Value* callee, Value* operand_forms) const {
    auto* function = as<Function>(callee);
    return function->exec_mode != mode_function && function->exec_mode != mode_macro &&
           function->implementation == runtime_.fast_paths.quote_native && operand_forms->kind == Kind::Cell &&
           cdr(operand_forms) == heap_.constants.nil;
  }

  // The operand forms `forms` hold a call of `callee` with `operand_forms` that declined. A call
  // of a function that no quick call makes declines every time the forms come round while its
  // name means that function: they are marked and not tried again. Should the name come to mean
  // another, the general path, which gives the same values, makes the calls.
  [[gnu::noinline]] int declined(Value* forms, Value* callee, Value* operand_forms) {
    bool slow_below = operand_forms->kind == Kind::Cell && static_cast<Cell*>(operand_forms)->holds_slow_call;
    if (slow_below || !makes_nested(callee)) static_cast<Cell*>(forms)->holds_slow_call = true;
    return -1;
  }

  // Whether a call of `callee` below another may be made here at all, whatever its operands.
  bool makes_nested(Value* callee) const {
    if (as<Function>(callee)->exec_mode == mode_macro) return false;
    if (NativeFunc* native = quick_native(callee)) return !native->quick_has_effects;
    return callee == runtime_.fast_paths.plus;
  }

  // The prelude's + of two to four integers or strings, added pairwise from the left as add does.
  // Out of line: inlined, its room for four operands costs every quick call of a native.
  [[gnu::noinline]] Value* plus(Value* forms, int depth) {
    constexpr int most = 4;
    Value* operands[most];
    int count = operands_of(forms, operands, most, depth);
    if (count < 2) return nullptr;
    Kind kind = operands[0]->kind;
    if (count == 2)
      if (Value* sum = add_two_integers_like_prelude(heap_, operands[0], operands[1])) return sum;
    if (kind != Kind::Integer && kind != Kind::String) return nullptr;
    for (int i = 1; i < count; ++i)
      if (operands[i]->kind != kind) return nullptr;
    return add_like_prelude(heap_, kind, [&operands, count](auto take) {
      for (int i = 0; i < count; ++i) take(operands[i]);
    });
  }

  static constexpr int max_depth = 2;
  Runtime& runtime_;
  Heap& heap_;
  Environment* environment_;
};

}  // namespace

Value* quick_arguments(Runtime& runtime, Environment* environment, Value* forms) {
  if (runtime.frame_count + frame_margin > Runtime::max_frames || holds_slow_call(forms)) return nullptr;
  return QuickCall(runtime, environment).arguments(forms);
}

int quick_values(Runtime& runtime, Environment* environment, Value* forms, Value** values, int capacity) {
  if (runtime.frame_count + frame_margin > Runtime::max_frames || holds_slow_call(forms)) return -1;
  return QuickCall(runtime, environment).values(forms, values, capacity);
}

namespace {

// A quick call of any other shape than quick_call_of_atoms takes.
[[gnu::noinline]] Value* quick_call_of_any_shape(Runtime& runtime, Environment* environment, Value* callee, Value* forms) {
  if (runtime.frame_count + frame_margin > Runtime::max_frames || holds_slow_call(forms)) return nullptr;
  return QuickCall(runtime, environment).call(callee, forms, 0);
}

}  // namespace

Value* quick_call_of(Runtime& runtime, Environment* environment, Value* callee, Value* forms) {
  if (Value* impl = as<Function>(callee)->implementation; impl->kind == Kind::NativeFunc)
    return quick_call_of_native(runtime, environment, callee, as<NativeFunc>(impl), forms);
  return quick_call_of_any_shape(runtime, environment, callee, forms);
}

Value* quick_call_of_native(Runtime& runtime, Environment* environment, Value* callee, NativeFunc* native, Value* forms) {
  bool shaped;
  Value* value = quick_call_of_atoms(runtime, environment, callee, native, forms, shaped);
  if (shaped) return value;
  return quick_call_of_any_shape(runtime, environment, callee, forms);
}

}  // namespace brevalon

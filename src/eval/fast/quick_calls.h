// Calls answered without frames: a native with a quick routine, or the prelude's + on numbers
// or strings, when every operand form is an atom already bound, a quote, a closure that fn makes,
// or (two levels deep at most) such a call of a native without effects.
//
// Stands for the argument lists, the CallFrames and the natives' own frames (or the prelude's +
// with sum, reduce and add below it) of the call and its operands, all of which would come and
// go without a trace. Declines, having done nothing a program could see, when an operand form is
// any other list or an unbound symbol, when the count of operands is not the one the quick
// routine takes, when a routine would fail (it then fails in its own frame on the general path)
// and within a margin of the frame limit larger than all the frames it stands for. Switched off
// by the faithful build and, for +, by any change to what the prelude's + reaches
// (FastPaths::plus_intact).
//
// Operand forms that hold a call of a function with no quick routine at all (a function of the
// program's, say) are marked when that call declines, and are not tried again: declining is all
// a quick call can do, so the mark only ever sends forms to the general path.
#pragma once

#include "eval/runtime.h"
#include "values/function.h"
#include "values/list.h"

namespace brevalon {

// The argument list of a call whose argument forms are atoms with values or quick calls without
// effects, made in place (it stands for the argument frame and the frames of those calls); null
// when any form is something else.
Value* quick_arguments(Runtime& runtime, Environment* environment, Value* argument_forms);

// The same values into `values`, at most `capacity` of them: their count, or -1 when any form is
// something else or there are more, having done nothing a program could see.
int quick_values(Runtime& runtime, Environment* environment, Value* argument_forms, Value** values, int capacity);

Value* quick_call_of(Runtime& runtime, Environment* environment, Value* callee, Value* operand_forms);
// quick_call_of for a callee whose implementation is `native`, a native with a quick routine.
Value* quick_call_of_native(Runtime& runtime, Environment* environment, Value* callee, NativeFunc* native, Value* operand_forms);

// Forms that hold a call no quick call makes hold it in one of their lists at every level: the
// outermost is marked too (see quick_calls.cpp), and it alone is looked at. Such forms hold a
// list form, so they are no list of atoms either.
inline bool holds_slow_call(Value* forms) { return forms->kind == Kind::Cell && static_cast<Cell*>(forms)->holds_slow_call; }

// The value of a call of `callee`, a function, with `operand_forms`, or null when the general
// path must make it.
inline Value* quick_call(Runtime& runtime, Environment* environment, Value* callee, Value* operand_forms) {
  Value* impl = as<Function>(callee)->implementation;
  if (impl->kind == Kind::NativeFunc)
    return as<NativeFunc>(impl)->quick ? quick_call_of_native(runtime, environment, callee, as<NativeFunc>(impl), operand_forms) : nullptr;
  // A + whose operands hold a slow call, as a recursion's sum of its calls does, is known here to decline.
  if (callee != runtime.fast_paths.plus || holds_slow_call(operand_forms)) return nullptr;
  return quick_call_of(runtime, environment, callee, operand_forms);
}

}  // namespace brevalon

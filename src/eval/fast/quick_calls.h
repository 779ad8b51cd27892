// Calls answered without frames: a native with a quick routine, or the prelude's + on numbers
// or strings, when every operand form is an atom already bound.
//
// Stands for the argument list, the CallFrame and the native's own frame (or the prelude's +
// with sum, reduce and add below it), all of which would come and go without a trace. Declines,
// having done nothing, when an operand form is a list or an unbound symbol, when the count of
// operands is not the one the quick routine takes, when the routine would fail (it then fails
// in its own frame on the general path) and when the frames it stands for would not all fit
// under the frame limit. Switched off by the faithful build and, for +, by any change to what
// the prelude's + reaches (FastPaths::plus_intact).
#pragma once

#include "values/value.h"

namespace brevalon {

struct Environment;
struct Runtime;

// The call's value, or null when the general path must make it.
Value* quick_call(Runtime& runtime, Environment* environment, Value* callee, Value* operand_forms);

}  // namespace brevalon

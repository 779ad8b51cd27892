// The definition forms and natives: define, fn, quote, set-symbol, unset, gensym and with-exec-mode.
#pragma once
#include "eval/resumable.h"
#include "values/function.h"

namespace brevalon {

Value* native_with_exec_mode(Interpreter&, Environment*, Value* arguments);
Value* native_gensym(Interpreter&, Environment*, Value* arguments);
Value* native_set_symbol(Interpreter&, Environment*, Value* arguments);
Value* native_unset(Interpreter&, Environment*, Value* arguments);
Value* native_fn(Interpreter&, Environment*, Value* arguments);
Value* native_quote(Interpreter&, Environment*, Value* arguments);
// Their quick routines (see QuickRoutine).
Value* quick_quote(Heap&, Environment*, Value* const* operands);
Value* quick_set_symbol(Heap&, Environment*, Value* const* operands);
Value* quick_fn(Heap&, Environment*, Value* const* operands);
ResumableState* make_define_state(FramePools& pools);

}  // namespace brevalon

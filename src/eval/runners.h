// The runners: each drives a fresh Interpreter over one root frame and reports an error that escapes it.
#pragma once
#include "eval/runtime.h"

namespace brevalon {

// Expands a form completely in an environment ("Error during expansion at:").
Value* expand_new(Runtime& runtime, Environment* environment, Value* form);
// Evaluates a form in the global environment ("Error during evaluation at:").
Value* evaluate_new(Runtime& runtime, Value* form);
// Calls a function with evaluated arguments in the global environment ("Error during execution at:").
Value* compute_new(Runtime& runtime, Value* callee, Value* arguments);
// Calls the global to-string, whatever it is bound to at this moment, on one value.
Value* call_to_string(Runtime& runtime, Value* value);

}  // namespace brevalon

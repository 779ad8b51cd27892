// How the session shows the value of a form: the text the global repr gives for it.
#pragma once
#include "eval/runtime.h"

namespace brevalon::repl {

// Calls repr, whatever the program has bound it to, and writes its text as one line of standard
// output; an error raised on the way leaves as it would from any call.
void show_value(Runtime& runtime, Value* value);

}  // namespace brevalon::repl

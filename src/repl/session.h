// The interactive session: prompts, forms continued over lines, and each form's value shown.
#pragma once
#include <string>
#include <vector>

#include "eval/runtime.h"
#include "repl/line_editor.h"

namespace brevalon::repl {

// The name notes on standard error give the typed forms, where a program run names its file.
inline constexpr const char* session_name = "<session>";

// The names bound in the global environment, for completion.
std::vector<std::string> global_names(Runtime& runtime);

// Reads and runs forms until the end of input (Control-D). An error is reported as in a program
// run and ends only the input it came from; the session goes on.
void run_session(Runtime& runtime, LineEditor& editor);

}  // namespace brevalon::repl

// The session loop: lines gathered until their forms are complete, then run like a program's.
#include "repl/session.h"

#include <string>

#include "base/output.h"
#include "eval/driver.h"
#include "repl/input_scan.h"
#include "repl/show_value.h"

namespace brevalon::repl {

namespace {

// Both prompts are as wide, so a form continued over lines keeps its indentation.
constexpr const char* prompt = "brevalon> ";
constexpr const char* continuation_prompt = "     ...> ";

void run_typed(Runtime& runtime, std::string_view text) {
  run_forms(runtime, text, session_name, [&runtime](Value* value) { show_value(runtime, value); });
}

}  // namespace

std::vector<std::string> global_names(Runtime& runtime) {
  std::vector<std::string> names;
  Environment* global = runtime.global;
  for (size_t i = 0; i < global->named_count(); ++i) {
    const Binding& binding = global->named_at(i);
    if (binding.value) names.push_back(binding.name->text);
  }
  return names;
}

void run_session(Runtime& runtime, LineEditor& editor) {
  std::string pending;
  for (;;) {
    LineRead line = editor.read_line(pending.empty() ? prompt : continuation_prompt);
    if (line.state == LineRead::State::interrupted) {
      // As in other interactive interpreters, Control-C drops the form being typed.
      write_line("");
      pending.clear();
      continue;
    }
    if (line.state == LineRead::State::end_of_input) {
      // The session ends on a line of its own. The end of input in the middle of a form runs
      // what there is, so the reader says what is missing.
      write_line("");
      if (!pending.empty()) run_typed(runtime, pending);
      return;
    }
    editor.remember(line.text);
    pending += line.text;
    pending += '\n';
    InputScan scan = scan_input(pending);
    switch (scan.state) {
      case InputScan::State::unfinished:
        continue;
      case InputScan::State::complete:
        run_typed(runtime, pending);
        break;
      case InputScan::State::stray_close:
        // In a program file a stray ')' ends the program; here it ends only what was typed with it.
        run_typed(runtime, std::string_view(pending).substr(0, scan.end));
        write_note("warning: unmatched ')'; the rest of the input after it is ignored");
        break;
    }
    pending.clear();
  }
}

}  // namespace brevalon::repl

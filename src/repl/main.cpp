// The brevalon-repl executable: an interactive session, one-off expressions, or a program from standard input.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>

#include "base/errors.h"
#include "base/output.h"
#include "eval/driver.h"
#include "repl/line_editor.h"
#include "repl/options.h"
#include "repl/session.h"
#include "repl/show_value.h"
#include "startup/global_environment.h"

namespace brevalon {
extern const std::string_view startup_image;
}

namespace brevalon::repl {

namespace {

// Standard input read to its end, held to the size a program file may have.
std::optional<std::string> read_standard_input() {
  std::string text;
  char buffer[1 << 16];
  for (;;) {
    ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count == 0) return text;
    if (count < 0) {
      if (errno == EINTR) continue;
      write_note(std::string("cannot read standard input: ") + std::strerror(errno));
      return std::nullopt;
    }
    if (text.size() + static_cast<size_t>(count) > max_file_bytes) {
      write_note("cannot read standard input: it is larger than " + std::to_string(max_file_bytes >> 30) + " GiB");
      return std::nullopt;
    }
    text.append(buffer, static_cast<size_t>(count));
  }
}

int run_file(Runtime& runtime, const std::string& path) {
  std::string text;
  try {
    text = read_whole_file(path);
  } catch (const InternalError& error) {
    write_note(error.note);
    return exit_abnormal;
  }
  return run_forms(runtime, text, path);
}

int run_standard_input(Runtime& runtime) {
  std::optional<std::string> text = read_standard_input();
  if (!text) return exit_abnormal;
  return run_forms(runtime, *text, "<stdin>");
}

// FILE (or the program on standard input) runs first; then the expressions, or the program on
// standard input, or the session.
int run(const Options& options) {
  Runtime runtime;
  start_runtime(runtime, [](Runtime& fresh) { build_global_environment(fresh, startup_image); });
  bool program_on_input = options.file == "-";
  if (options.file) {
    int status = program_on_input ? run_standard_input(runtime) : run_file(runtime, *options.file);
    // Standard input, once read, has nothing left for a session.
    if (program_on_input && options.expressions.empty()) return status;
    // Expressions that build on the program would only fail again after it failed.
    if (status != exit_ok && !options.expressions.empty()) return status;
  }
  if (!options.expressions.empty()) {
    for (const std::string& expression : options.expressions) {
      int status = run_forms(runtime, expression, "-e", [&runtime](Value* value) { show_value(runtime, value); });
      if (status != exit_ok) return status;
    }
    return exit_ok;
  }
  if (!isatty(STDIN_FILENO)) return run_standard_input(runtime);
  LineEditor editor(default_history_path(), [&runtime] { return global_names(runtime); });
  run_session(runtime, editor);
  return exit_ok;
}

}  // namespace

}  // namespace brevalon::repl

int main(int argc, char** argv) {
  using namespace brevalon;
  repl::ParsedOptions parsed = repl::parse_options(argc, argv);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "brevalon-repl: %s (brevalon-repl --help shows the usage)\n", parsed.error.c_str());
    return exit_abnormal;
  }
  if (parsed.options.help) {
    write_line(repl::help_text());
    return exit_ok;
  }
  if (parsed.options.version) {
    write_line("brevalon-repl " BREVALON_VERSION);
    return exit_ok;
  }
  prepare_process();
  try {
    return repl::run(parsed.options);
  } catch (...) {
    // Only start-up can fail here: every form runs under run_forms, which reports its own errors.
    Failure failure = current_failure();
    if (failure.kind == Failure::Kind::program) return exit_lisp_error;
    write_note("internal error: " + failure.text);
    return exit_abnormal;
  }
}

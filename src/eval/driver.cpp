// The driver: start-up, the top-level loop, and the translation of errors into exit statuses.
#include "eval/driver.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

#include "base/errors.h"
#include "base/output.h"
#include "base/own_stack.h"
#include "base/stack_guard.h"
#include "eval/diagnostic.h"
#include "eval/runners.h"
#include "reader/reader.h"
#include "values/list.h"

namespace brevalon {

namespace {

// Start-up draws this many generated-symbol numbers beyond those the prelude draws, so that the
// first gensym of a program is 132, as programs have always seen it.
constexpr int64_t startup_gensyms_beyond_prelude = 5;

// Files are read in pieces of this size, checked against max_file_bytes as they come.
constexpr size_t read_chunk_bytes = size_t{1} << 16;

}  // namespace

std::string read_whole_file(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) internal_error("cannot open '" + path + "': " + std::strerror(errno));
  struct stat info {};
  if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    internal_error("cannot read '" + path + "': Is a directory");
  }
  std::string text;
  if (info.st_size > 0) text.reserve(static_cast<size_t>(info.st_size));
  char buffer[read_chunk_bytes];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    // A device such as /dev/zero never ends: stop at a size no program text or data file reaches.
    if (text.size() + count > max_file_bytes) {
      std::fclose(file);
      internal_error("cannot read '" + path + "': it is larger than " + std::to_string(max_file_bytes >> 30) + " GiB");
    }
    text.append(buffer, count);
  }
  bool failed = std::ferror(file);
  int error = errno;
  std::fclose(file);
  if (failed) internal_error("cannot read '" + path + "': " + std::strerror(error));
  return text;
}

namespace {

// `before_first_form` runs once, before the first form is read, when the text holds one: text of
// nothing but blanks and comments, or that starts with a stray ")", holds none. It runs before the
// reading so that the form's values are the run's, not among those start-up keeps for good.
Value* read_and_run(Runtime& runtime, std::string_view text, SourceFile* source,
                    const std::function<void()>& before_first_form = {}) {
  int64_t position = 0;
  if (before_first_form) {
    int64_t start = skip_all(text, position);
    if (start < int64_t(text.size()) && text[size_t(start)] != ')') before_first_form();
  }
  Value* last = runtime.heap.constants.nil;
  for (;;) {
    auto read = next_expr(runtime.heap, text, position, source);
    if (!read) {
      if (source) warn_of_stray_close_paren(*source, text, position, "the program");
      return last;
    }
    position = read->position;
    Value* expanded = expand_new(runtime, runtime.global, read->value);
    last = evaluate_new(runtime, expanded);
  }
}

}  // namespace

Value* do_string(Runtime& runtime, std::string_view text) { return read_and_run(runtime, text, nullptr); }

Value* do_file_text(Runtime& runtime, std::string_view text, const std::string& file_name) {
  SourceFile source(runtime.positions, file_name);
  return read_and_run(runtime, text, &source);
}

namespace {

// The printers and equality recurse on the machine stack up to their nesting limits.
// At those limits an optimised build needs about 6 MiB and a debug or sanitizer build more than
// the usual 8 MiB soft limit. The main thread's stack grows on demand up to the soft limit, and
// Linux leaves at least 128 MiB below it for that, so a higher soft limit taken now is enough.
void reserve_machine_stack() {
  constexpr rlim_t wanted = rlim_t{64} << 20;
  struct rlimit limit {};
  if (getrlimit(RLIMIT_STACK, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= wanted) return;
  limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
  setrlimit(RLIMIT_STACK, &limit);
}

}  // namespace

int report_failure(Runtime& runtime, const Failure& failure) {
  std::string text;
  try {
    text = diagnostic_text(runtime, failure);
  } catch (...) {
    text = "brevalon: error: " + failure.text.substr(0, failure.text.find('\n')) + "\n";
  }
  runtime.pending_forms.clear();
  write_error_text(text);
  return failure.kind == Failure::Kind::program ? exit_lisp_error : exit_abnormal;
}

namespace {

// The machine stack a program runs on: deep recursions of the direct evaluator stay on it. Under
// the address sanitizer it is what the main thread's would be: the sanitizer cannot clean up
// after an exception thrown much more than 64 MiB below the top of a stack.
#if defined(BREVALON_SANITIZE)
constexpr size_t program_stack_bytes = size_t{64} << 20;
#else
constexpr size_t program_stack_bytes = size_t{256} << 20;
#endif

int run_program_file(int argc, char** argv, const GlobalBuilder& build_global_environment) {
  try {
    // The operating system takes the run's memory back at exit at once, where the heap would free
    // it value by value; sanitizer builds free it all, so that their leak checks stay meaningful.
#if defined(BREVALON_SANITIZE)
    auto owned_runtime = std::make_unique<Runtime>();
    Runtime& runtime = *owned_runtime;
#else
    Runtime& runtime = *new Runtime;
#endif
    // The global environment is built once the program is seen to hold a form: nothing before
    // that can see it, and a file without forms never pays for it. Its failures are start-up's, as
    // if it had been built first.
    enum class Startup { pending, building, done } startup = Startup::pending;
    auto start = [&] {
      startup = Startup::building;
      start_runtime(runtime, build_global_environment);
      startup = Startup::done;
    };
    if (argc < 2) {
      write_line(std::string("usage: ") + (argc > 0 ? argv[0] : "brevalon") + " file.lisp");
      return exit_ok;
    }
    std::string path = argv[1];
    std::string text;
    try {
      text = read_whole_file(path);
    } catch (const InternalError& error) {
      write_note("error: " + error.note);
      return exit_abnormal;
    }
    runtime.files.push_back(path);
    try {
      SourceFile source(runtime.positions, path);
      read_and_run(runtime, text, &source, start);
    } catch (...) {
      if (startup == Startup::building) throw;
      // The first form could not be read: the diagnostic is made with the global environment in
      // place, as for any other failure.
      if (startup == Startup::pending) start();
      return report_failure(runtime, current_failure());
    }
    return exit_ok;
  } catch (...) {
    Failure failure = current_failure();
    // A program error during start-up has been reported by its runner already.
    if (failure.kind == Failure::Kind::program) return exit_lisp_error;
    write_note("error: " + failure.text);
    return exit_abnormal;
  }
}

}  // namespace

int entry_point(int argc, char** argv, const GlobalBuilder& build_global_environment) {
  int status = exit_abnormal;
  std::function<void()> run = [&] { status = run_program_file(argc, argv, build_global_environment); };
  if (!run_on_own_stack(program_stack_bytes, run)) {
    reserve_machine_stack();
    mark_stack_top();
    run();
  }
  return status;
}

void prepare_process() {
  reserve_machine_stack();
  mark_stack_top();
}

void start_runtime(Runtime& runtime, const GlobalBuilder& build_global_environment) {
  build_global_environment(runtime);
  runtime.num_symbol_generator += startup_gensyms_beyond_prelude;
  runtime.heap.make_image_permanent();
  runtime.heap.begin_stress();
}

int run_forms(Runtime& runtime, std::string_view text, const std::string& name,
              const std::function<void(Value*)>& shown) {
  // An error inside load leaves the loaded file on top and the loaded file's folder as the
  // working directory; the next text starts from this depth and this directory again.
  size_t files_before = runtime.files.size();
  std::error_code unknown;
  std::filesystem::path directory = std::filesystem::current_path(unknown);
  runtime.files.push_back(name);
  int status = exit_ok;
  try {
    SourceFile source(runtime.positions, name);
    int64_t position = 0;
    for (;;) {
      auto read = next_expr(runtime.heap, text, position, &source);
      if (!read) {
        warn_of_stray_close_paren(source, text, position, "the program");
        break;
      }
      position = read->position;
      Value* value = evaluate_new(runtime, expand_new(runtime, runtime.global, read->value));
      if (shown) shown(value);
    }
  } catch (...) {
    status = report_failure(runtime, current_failure());
    if (!directory.empty()) std::filesystem::current_path(directory, unknown);
  }
  runtime.files.resize(files_before);
  return status;
}

}  // namespace brevalon

// The driver: start-up, the top-level loop, and the translation of errors into exit statuses.
#include "eval/driver.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

#include "base/errors.h"
#include "base/output.h"
#include "base/stack_guard.h"
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

Value* do_string(Runtime& runtime, std::string_view text) {
  int64_t position = 0;
  Value* last = runtime.heap.constants.nil;
  for (;;) {
    auto read = next_expr(runtime.heap, text, position);
    if (!read) return last;
    position = read->position;
    Value* expanded = expand_new(runtime, runtime.global, read->value);
    last = evaluate_new(runtime, expanded);
  }
}

namespace {

// The reader, the printers and equality recurse on the machine stack up to their nesting limits.
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

// The one note on standard error for a run that failed, and the status the process exits with;
// `where` says where the error happened.
int report_failure(const Failure& failure, const std::string& where) {
  switch (failure.kind) {
    case Failure::Kind::program:
      // The message's first line only: the rest of the report is on standard output already.
      write_note("error" + where + failure.text.substr(0, failure.text.find('\n')));
      return exit_lisp_error;
    case Failure::Kind::syntax:
      write_note("syntax error" + where + failure.text);
      return exit_abnormal;
    case Failure::Kind::internal:
      break;
  }
  write_note("internal error" + where + failure.text);
  return exit_abnormal;
}

}  // namespace

int entry_point(int argc, char** argv, const GlobalBuilder& build_global_environment) {
  reserve_machine_stack();
  mark_stack_top();
  try {
    Runtime runtime;
    build_global_environment(runtime);
    runtime.num_symbol_generator += startup_gensyms_beyond_prelude;
    runtime.heap.begin_stress();
    if (argc < 2) {
      write_line(std::string("usage: ") + (argc > 0 ? argv[0] : "brevalon") + " file.lisp");
      return exit_ok;
    }
    std::string path = argv[1];
    std::string text;
    try {
      text = read_whole_file(path);
    } catch (const InternalError& error) {
      write_note(error.note);
      return exit_abnormal;
    }
    runtime.files.push_back(path);
    try {
      do_string(runtime, text);
    } catch (...) {
      // The note names the file the error happened in: the program, or a file it was loading.
      return report_failure(current_failure(), " in '" + runtime.files.back() + "': ");
    }
    return exit_ok;
  } catch (...) {
    Failure failure = current_failure();
    // A program error during start-up has been reported by its runner already.
    if (failure.kind == Failure::Kind::program) return exit_lisp_error;
    return report_failure(failure, ": ");
  }
}

}  // namespace brevalon

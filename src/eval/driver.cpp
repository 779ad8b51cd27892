// The driver: start-up, the top-level loop, and the translation of errors into exit statuses.
#include "eval/driver.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/resource.h>
#include <sys/stat.h>

#include "base/errors.h"
#include "base/output.h"
#include "base/stack_guard.h"
#include "eval/runners.h"
#include "reader/reader.h"
#include "startup/global_environment.h"
#include "values/list.h"

namespace brevalon {

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
  char buffer[1 << 16];
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

}  // namespace

int entry_point(int argc, char** argv, std::string_view startup_image) {
  reserve_machine_stack();
  mark_stack_top();
  try {
    Runtime runtime;
    build_global_environment(runtime, startup_image);
    // Start-up draws five more numbers, so a program's first gensym is 132.
    runtime.num_symbol_generator += 5;
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
    // The note names the file the error happened in: the program, or a file it was loading.
    auto where = [&] { return " in '" + runtime.files.back() + "': "; };
    try {
      do_string(runtime, text);
    } catch (const LispError& error) {
      write_note("error" + where() + error.message.substr(0, error.message.find('\n')));
      return exit_lisp_error;
    } catch (const SyntaxError& error) {
      write_note("syntax error" + where() + error.note);
      return exit_abnormal;
    } catch (const InternalError& error) {
      write_note("internal error" + where() + error.note);
      return exit_abnormal;
    } catch (const std::bad_alloc&) {
      write_note("internal error" + where() + "out of memory");
      return exit_abnormal;
    }
    return exit_ok;
  } catch (const LispError&) {
    return exit_lisp_error;
  } catch (const InternalError& error) {
    write_note("internal error: " + error.note);
    return exit_abnormal;
  } catch (const SyntaxError& error) {
    write_note("syntax error: " + error.note);
    return exit_abnormal;
  } catch (const std::bad_alloc&) {
    write_note("internal error: out of memory");
    return exit_abnormal;
  }
}

}  // namespace brevalon

// The program driver: the command line, the top-level loop and the exit status.
#pragma once
#include <functional>
#include <string>

#include "base/errors.h"
#include "eval/runtime.h"

namespace brevalon {

enum ExitStatus { exit_ok = 0, exit_lisp_error = 1, exit_abnormal = 2 };

// Fills a fresh runtime's global environment; start-up, above this layer, supplies it.
using GlobalBuilder = std::function<void(Runtime&)>;

// Runs the program file named on the command line. The global environment is built once the file's
// first form has been read, so a file without forms never builds it.
int entry_point(int argc, char** argv, const GlobalBuilder& build_global_environment);

// Reads, expands and evaluates every top-level form of a text; returns the last value.
Value* do_string(Runtime& runtime, std::string_view text);
// The same for the text of a file, whose forms are then found by their positions in it.
Value* do_file_text(Runtime& runtime, std::string_view text, const std::string& file_name);

// Writes the diagnostic for an error that ended a run on standard error, forgets what the runners
// recorded for it, and returns the exit status it calls for.
int report_failure(Runtime& runtime, const Failure& failure);

// What a second front end (the interactive session) needs to run forms exactly as a program file
// runs them.

// Prepares the process once, before any runtime: the machine stack the recursive parts need.
void prepare_process();

// Builds a runtime's global environment as the brevalon executable does before running a program.
void start_runtime(Runtime& runtime, const GlobalBuilder& build_global_environment);

// Reads, expands and evaluates every top-level form of a text as a program named `name`, handing
// each value to `shown` (when given). An error is reported as a program run reports it and ends
// only this text; the result is the exit status a program run would have had.
int run_forms(Runtime& runtime, std::string_view text, const std::string& name,
              const std::function<void(Value*)>& shown = {});

// read-file and load stop past this size, so an endless device cannot exhaust memory.
constexpr size_t max_file_bytes = size_t{2} << 30;

// Reads a whole file; failures name the file and the reason.
std::string read_whole_file(const std::string& path);

}  // namespace brevalon

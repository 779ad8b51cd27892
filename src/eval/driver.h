// The program driver: the command line, the top-level loop and the exit status.
#pragma once
#include <string>

#include "eval/runtime.h"

namespace brevalon {

enum ExitStatus { exit_ok = 0, exit_lisp_error = 1, exit_abnormal = 2 };

// Without an image the prelude's text is run to build the global environment.
int entry_point(int argc, char** argv, std::string_view startup_image = {});

// Reads, expands and evaluates every top-level form of a text; returns the last value.
Value* do_string(Runtime& runtime, std::string_view text);

constexpr size_t max_file_bytes = size_t{2} << 30;

// Reads a whole file; failures name the file and the reason.
std::string read_whole_file(const std::string& path);

}  // namespace brevalon

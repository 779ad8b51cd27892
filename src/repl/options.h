// The command line of brevalon-repl, and its help text.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace brevalon::repl {

struct Options {
  bool help = false;
  bool version = false;
  std::vector<std::string> expressions;  // each -e EXPR, in order
  std::optional<std::string> file;       // FILE, or "-" for standard input
};

// The options, or a one-line reason why the command line is wrong.
struct ParsedOptions {
  Options options;
  std::string error;
};

ParsedOptions parse_options(int argc, char** argv);

std::string help_text();

}  // namespace brevalon::repl

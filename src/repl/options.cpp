// Reading the command line of brevalon-repl.
#include "repl/options.h"

#include <string_view>

namespace brevalon::repl {

ParsedOptions parse_options(int argc, char** argv) {
  ParsedOptions parsed;
  Options& options = parsed.options;
  bool only_files = false;  // after "--" every argument is a file name, even one starting with '-'
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (!only_files && argument == "--") {
      only_files = true;
    } else if (!only_files && (argument == "-h" || argument == "--help")) {
      options.help = true;
    } else if (!only_files && argument == "--version") {
      options.version = true;
    } else if (!only_files && argument == "-e") {
      if (i + 1 >= argc) {
        parsed.error = "option -e needs an expression";
        return parsed;
      }
      options.expressions.emplace_back(argv[++i]);
    } else if (!only_files && argument.size() > 1 && argument[0] == '-') {
      parsed.error = "unknown option '" + std::string(argument) + "'";
      return parsed;
    } else if (options.file) {
      parsed.error = "more than one file given ('" + *options.file + "' and '" + std::string(argument) + "')";
      return parsed;
    } else {
      options.file = std::string(argument);
    }
  }
  return parsed;
}

std::string help_text() {
  return "usage: brevalon-repl [-e EXPR]... [FILE | -]\n"
         "\n"
         "An interactive session of the Brevalon language: each form typed is evaluated and its\n"
         "value shown with repr; a form left open continues on the next line.\n"
         "\n"
         "  FILE          run the program in FILE, then go on interactively\n"
         "  -             run the program read from standard input, without prompts\n"
         "  -e EXPR       evaluate the forms in EXPR, show each value and exit (may be repeated;\n"
         "                with FILE, the file runs first)\n"
         "  -h, --help    show this help and exit\n"
         "  --version     show the version and exit\n"
         "\n"
         "When standard input is not a terminal, the program is read from it as with '-'.\n"
         "Lines typed are kept in ~/.brevalon_history. Control-D ends the session.\n"
         "The exit status is that of a program run: 0, 1 after an error raised by the program,\n"
         "2 after a syntax or internal error or an unreadable file; a session ends with 0.";
}

}  // namespace brevalon::repl

// The scan of typed text: nesting depth, strings, comments and dangling quotation marks.
#include "repl/input_scan.h"

namespace brevalon::repl {

namespace {

bool is_whitespace(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool starts_comment(char c) { return c == ';' || c == '#'; }
// Inside a symbol these end it; any other character, a quotation mark too, belongs to it.
bool ends_token(char c) { return is_whitespace(c) || c == '(' || c == ')' || starts_comment(c); }

}  // namespace

InputScan scan_input(std::string_view text) {
  size_t depth = 0;
  // A quotation mark (' ` , ,@) still waiting for the expression it quotes.
  bool quoting = false;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (is_whitespace(c)) {
      ++i;
    } else if (starts_comment(c)) {
      size_t newline = text.find('\n', i);
      if (newline == std::string_view::npos) break;
      i = newline + 1;
    } else if (c == '(') {
      ++depth;
      quoting = false;
      ++i;
    } else if (c == ')') {
      if (depth == 0) return {InputScan::State::stray_close, i};
      --depth;
      quoting = false;
      ++i;
    } else if (c == '\'' || c == '`' || c == ',') {
      quoting = true;
      i += (c == ',' && i + 1 < text.size() && text[i + 1] == '@') ? 2 : 1;
    } else if (c == '"') {
      quoting = false;
      for (++i;; ++i) {
        if (i >= text.size()) return {InputScan::State::unfinished, text.size()};
        if (text[i] == '\\') {
          ++i;  // the escaped character, whatever it is, does not end the string
        } else if (text[i] == '"') {
          ++i;
          break;
        }
      }
    } else {
      quoting = false;
      while (i < text.size() && !ends_token(text[i])) ++i;
    }
  }
  bool complete = depth == 0 && !quoting;
  return {complete ? InputScan::State::complete : InputScan::State::unfinished, text.size()};
}

}  // namespace brevalon::repl

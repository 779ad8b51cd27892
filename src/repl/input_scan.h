// Tells whether typed text holds only complete forms, so the session knows when to stop asking for lines.
#pragma once
#include <cstddef>
#include <string_view>

namespace brevalon::repl {

struct InputScan {
  enum class State {
    complete,     // every form is closed: the text can be run
    unfinished,   // a list, a string or a quotation mark still waits for its end
    stray_close,  // a ')' closes nothing; the forms before `end` are complete
  };
  State state;
  size_t end;  // for stray_close, the offset of the ')'
};

// Follows the reader's rules for lists, strings, comments and quotation marks without reading
// values; malformed text that this lets through is left for the reader to report.
InputScan scan_input(std::string_view text);

}  // namespace brevalon::repl

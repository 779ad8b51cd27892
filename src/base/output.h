// Standard output, one completed line at a time, and the one-line notes on standard error.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace brevalon {

// Writes text and a newline to standard output at once. Output that cannot be written ends the run
// with an internal error, once; after that, standard output is dropped. A closed pipe ends the
// process quietly, as the broken-pipe signal does by default.
void write_line(std::string_view text);
// Writes several lines in as few calls as possible; their order is kept.
void write_lines(const std::vector<std::string>& lines);
// One line on standard error, prefixed with "brevalon: "; a longer text is shortened to fit.
void write_note(std::string_view text);
// Text for standard error exactly as given: a diagnostic of several lines, say.
void write_error_text(std::string_view text);

// A quoted text may span lines or megabytes; in a message it stops at its first line break and after
// `width` characters, and " ..." marks where it was cut.
std::string shorten(std::string_view text, size_t width);

}  // namespace brevalon

// Standard output, one completed line at a time, and the one-line notes on standard error.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace brevalon {

// Writes text and a newline to standard output at once.
void write_line(std::string_view text);
// Writes several lines in as few calls as possible; their order is kept.
void write_lines(const std::vector<std::string>& lines);
// One line on standard error, prefixed with "brevalon: ".
void write_note(std::string_view text);

}  // namespace brevalon

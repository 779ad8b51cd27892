// Reads source text into values, one expression at a time, with an explicit stack instead of recursion.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "reader/source_positions.h"
#include "values/value.h"

namespace brevalon {

class Heap;

struct ReadResult {
  int64_t position;
  Value* value;
};

// No match is an empty result; malformed text writes the reader's message line and throws SyntaxError.
// Given the file the text came from, the reader records where each list and each top-level form
// starts, and a syntax error names the place at fault.
std::optional<ReadResult> next_expr(Heap& heap, std::string_view text, int64_t position,
                                    SourceFile* source = nullptr);

// A ")" where a top-level form would start ends the reading; when text follows it, that text is
// never run, which deserves a warning.
struct StrayCloseParen {
  int64_t position;
  int64_t lines_after;  // lines holding the text that is not run
};
std::optional<StrayCloseParen> stray_close_paren(std::string_view text, int64_t position);

int64_t skip_whitespace(std::string_view text, int64_t position);
int64_t skip_comment(std::string_view text, int64_t position);
int64_t skip_all(std::string_view text, int64_t position);

}  // namespace brevalon

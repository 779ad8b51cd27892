// Reads source text into values, one expression at a time, by small recursive-descent recognisers.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "values/value.h"

namespace brevalon {

class Heap;

struct ReadResult {
  int64_t position;
  Value* value;
};

// Nesting deeper than this ends reading with a syntax error instead of exhausting the machine stack.
constexpr int max_read_depth = 10000;

// No match is an empty result; malformed text writes the reader's message line and throws SyntaxError.
std::optional<ReadResult> next_expr(Heap& heap, std::string_view text, int64_t position);

int64_t skip_whitespace(std::string_view text, int64_t position);
int64_t skip_comment(std::string_view text, int64_t position);
int64_t skip_all(std::string_view text, int64_t position);

}  // namespace brevalon

// The cells of proper lists counted for the native list walks, the last list counted remembered.
#pragma once
#include <cstddef>
#include <cstdint>

#include "values/value.h"

namespace brevalon {

struct Runtime;

// The last list counted (by count_cells, or walked to its end by at or nth), with its count and
// the collection it was counted after.
//
// A native walk declines a list too long for the step-by-step method's frames (or an index past
// its end), and that method recurses over the list's cells, asking the native again of each tail:
// a tail of the list remembered is counted from it in one step, not walked again, so a long list
// costs its declines one walk instead of one a cell. Cells never change, so the count holds while the list
// lives; it is forgotten at the next collection, which may free the list and make another where
// it was.
struct CountedList {
  Value* list = nullptr;  // a cell, or null
  size_t cells = 0;
  size_t collection = 0;
};

// The count of the cells of `list` when it is a proper list (nil has none); -1 when it does not
// end in nil.
int64_t count_cells(Runtime& runtime, Value* list);

// What count_cells would give for `list` when the last list counted is `list` or has it as its
// tail; -1 otherwise, having walked nothing.
int64_t known_cells(Runtime& runtime, Value* list);

// Remembers `list`, a proper list of `cells` cells, as the last list counted: what a walk that
// reached the end of a list (at or nth past it) leaves for the step-by-step method's next ask.
void remember_cells(Runtime& runtime, Value* list, size_t cells);

}  // namespace brevalon

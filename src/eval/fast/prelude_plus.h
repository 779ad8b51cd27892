// The prelude's + of numbers or of strings, computed natively for the fast paths that stand for it.
#pragma once
#include <string>

#include "memory/heap.h"
#include "values/arithmetic.h"
#include "values/scalars.h"

namespace brevalon {

// What add_like_prelude gives for two integers, the commonest sum, without its walks; null for any
// other two operands.
inline Value* add_two_integers_like_prelude(Heap& heap, Value* a, Value* b) {
  if (a->kind != Kind::Integer || b->kind != Kind::Integer) return nullptr;
  return heap.make<Integer>(add_through_double(as<Integer>(a)->value, as<Integer>(b)->value));
}

// What the prelude's + gives for operands all integers or all strings (`kind`), added pairwise
// from the left as add does. `for_each(take)` calls take on each operand in order.
template <typename ForEach>
Value* add_like_prelude(Heap& heap, Kind kind, ForEach for_each) {
  if (kind == Kind::Integer) {
    bool first = true;
    int64_t sum = 0;
    for_each([&](Value* operand) {
      int64_t value = as<Integer>(operand)->value;
      sum = first ? value : add_through_double(sum, value);
      first = false;
    });
    return heap.make<Integer>(sum);
  }
  // Sized first: the text is copied once.
  size_t length = 0;
  for_each([&](Value* operand) { length += as<String>(operand)->text.size(); });
  std::string text;
  text.reserve(length);
  for_each([&](Value* operand) { text += as<String>(operand)->text; });
  return heap.make<String>(std::move(text));
}

}  // namespace brevalon

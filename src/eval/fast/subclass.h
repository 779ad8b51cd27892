// is-subclass as the fast paths answer it: yes, no, or unknown past a chain of parents too long to follow.
#pragma once
#include <cstdint>

#include "values/class.h"

namespace brevalon {

enum class Answer : uint8_t { no, yes, unknown };

// As is-subclass decides, as far as a short chain of parents; beyond it the answer is unknown,
// and the caller takes the faithful path.
inline Answer subclass(Value* a, Value* b, int depth = 0) {
  if (a == b) return Answer::yes;
  if (a->kind != Kind::Class) return Answer::no;
  if (depth > 32) return Answer::unknown;
  for (Value* parent : as<Class>(a)->parents) {
    if (parent == b) return Answer::yes;
    Answer answer = subclass(parent, b, depth + 1);
    if (answer != Answer::no) return answer;
  }
  return Answer::no;
}

}  // namespace brevalon

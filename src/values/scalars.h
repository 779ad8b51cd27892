// The atomic kinds: unique constants, integers, floats and strings.
#pragma once
#include "values/value.h"

namespace brevalon {

struct Unique : Value {
  explicit Unique(std::string n) : Value(Kind::Unique), name(std::move(n)), is_nil(name == "nil") {}
  std::string name;
  bool is_nil;
};

// Each run makes exactly one unique named nil, so code with no run at hand (the printers) can
// recognise it; code with a run compares with the run's nil instead.
inline bool is_nil(const Value* value) {
  return value->kind == Kind::Unique && static_cast<const Unique*>(value)->is_nil;
}

struct Integer final : Value {
  static constexpr bool needs_destructor = false;
  explicit Integer(int64_t v) : Value(Kind::Integer), value(v) {}
  int64_t value;
};

struct Floating final : Value {
  static constexpr bool needs_destructor = false;
  explicit Floating(double v) : Value(Kind::Floating), value(v) {}
  double value;
};

struct String final : Value {
  explicit String(std::string t) : Value(Kind::String), text(std::move(t)) {}
  // A text up to this long lives inside the string object, in the heap's slot; only longer ones
  // own memory outside it.
  static constexpr size_t inline_capacity = 15;
  size_t footprint() const override { return text.capacity() > inline_capacity ? text.capacity() : 0; }
  std::string text;
};

struct Type : Value {
  explicit Type(std::string n) : Value(Kind::Type), name(std::move(n)) {}
  std::string name;
};

}  // namespace brevalon

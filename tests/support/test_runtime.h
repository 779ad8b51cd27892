// The one Runtime a unit-test binary shares, with the natives bound but no prelude.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "eval/runtime.h"
#include "startup/global_environment.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"

namespace brevalon::testing_support {

// Each run owns its constants and names; the tests share this one Runtime to spare building one each.
inline Runtime& runtime() {
  static Runtime* shared = [] {
    auto* made = new Runtime();
    bind_natives(*made);
    return made;
  }();
  return *shared;
}

inline Heap& heap() { return runtime().heap; }

inline Value* integer(int64_t value) { return heap().make<Integer>(value); }
inline Value* string(std::string text) { return heap().make<String>(std::move(text)); }
inline Value* symbol(std::string_view name) { return heap().make<NamedSymbol>(heap().names.intern(name)); }
inline Value* generated(int64_t number) { return heap().make<NumSymbol>(number); }
inline Value* list(const std::vector<Value*>& items) { return make_list(heap(), items); }
// The number of objects left once everything unreachable is gone.
inline size_t settled_count() {
  heap().collect();
  return heap().object_count();
}
inline Value* global(std::string_view name) {
  NamedSymbol key(heap().names.intern(name));
  return runtime().global->lookup(&key);
}

// Holds values across a collection for the length of a scope.
class Rooted {
 public:
  explicit Rooted(Value* value) : value_(value) { heap().push_root(value); }
  ~Rooted() { heap().pop_root(value_); }
  Rooted(const Rooted&) = delete;
  Rooted& operator=(const Rooted&) = delete;
  Value* get() const { return value_; }

 private:
  Value* value_;
};

}  // namespace brevalon::testing_support

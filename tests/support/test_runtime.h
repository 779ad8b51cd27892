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

// AddressSanitizer's redzones make every machine-stack frame several times larger.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized_build = true;
#else
constexpr bool sanitized_build = false;
#endif

// Nesting limits of 10000 levels (reader, printers) do not fit the default 8 MiB machine
// stack of a sanitized build: reading overflows near 5000 levels and printing near 3000. Tests that
// go up to those limits are skipped there until the limits follow the stack actually available.
#define SKIP_IN_SANITIZED_BUILD_UNTIL_DEPTH_LIMITS_FIT_THE_STACK()                                     \
  do {                                                                                              \
    if (::brevalon::testing_support::sanitized_build)                                               \
      GTEST_SKIP() << "known bug: a nesting limit of 10000 overflows the sanitized machine stack"; \
  } while (false)

// Type objects and the unique constants are process-wide, so every test shares this one Runtime.
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
inline Value* symbol(std::string_view name) { return heap().make<NamedSymbol>(intern(name)); }
inline Value* generated(int64_t number) { return heap().make<NumSymbol>(number); }
inline Value* list(const std::vector<Value*>& items) { return make_list(heap(), items); }
inline Value* global(std::string_view name) {
  NamedSymbol key(intern(name));
  return runtime().global->lookup(&key);
}

// Holds values across a collection for the length of a scope.
class Rooted {
 public:
  explicit Rooted(Value* value) : value_(value) { heap().push_root(value); }
  ~Rooted() { heap().pop_root(); }
  Rooted(const Rooted&) = delete;
  Rooted& operator=(const Rooted&) = delete;
  Value* get() const { return value_; }

 private:
  Value* value_;
};

}  // namespace brevalon::testing_support

// Sorting the error that left a run: every kind a run can raise, and raising it again unchanged.
#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "base/errors.h"

namespace brevalon {
namespace {

Failure failure_of(const std::function<void()>& fail) {
  try {
    fail();
  } catch (...) {
    return current_failure();
  }
  ADD_FAILURE() << "nothing was thrown";
  return {};
}

struct SortCase {
  const char* name;
  std::function<void()> fail;
  Failure::Kind kind;
  const char* text;
};

TEST(Failure, EachErrorIsSortedByKindWithItsText) {
  const SortCase cases[] = {
      {"program", [] { lisp_error("Error: 'x: \"y\""); }, Failure::Kind::program, "Error: 'x: \"y\""},
      {"syntax", [] { throw SyntaxError("unclosed list"); }, Failure::Kind::syntax, "unclosed list"},
      {"internal", [] { internal_error("car expects a list"); }, Failure::Kind::internal, "car expects a list"},
      {"memory", [] { throw std::bad_alloc(); }, Failure::Kind::internal, "out of memory"},
  };
  for (const SortCase& c : cases) {
    Failure failure = failure_of(c.fail);
    EXPECT_EQ(failure.kind, c.kind) << c.name;
    EXPECT_EQ(failure.text, c.text) << c.name;
    // Raised again, it is sorted the same way.
    Failure again = failure_of([&] { failure.raise(); });
    EXPECT_EQ(again.kind, failure.kind) << c.name;
    EXPECT_EQ(again.text, failure.text) << c.name;
  }
}

TEST(Failure, AnExceptionOfAnotherKindPassesThroughUnsorted) {
  EXPECT_THROW(failure_of([] { throw 42; }), int);
}

}  // namespace
}  // namespace brevalon

// Quoted text in a one-line message: where it is cut and how the cut is marked.
#include <gtest/gtest.h>

#include "base/output.h"

namespace brevalon {
namespace {

struct ShortenCase {
  const char* text;
  size_t width;
  const char* expected;
};

TEST(Shorten, CutsAtTheFirstLineBreakAndAtTheWidthAndMarksEitherCut) {
  const ShortenCase cases[] = {
      {"(a b c)", 10, "(a b c)"},
      {"0123456789", 10, "0123456789"},
      {"0123456789abc", 10, "0123456789 ..."},
      {"first\nsecond", 60, "first ..."},
      {"0123456789abc\nsecond", 10, "0123456789 ..."},
      {"\nsecond", 60, " ..."},
      {"", 10, ""},
  };
  for (const ShortenCase& c : cases) EXPECT_EQ(shorten(c.text, c.width), c.expected) << c.text;
}

}  // namespace
}  // namespace brevalon

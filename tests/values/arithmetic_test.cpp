// Integer addition through doubles: the exact integer sum taken for small operands must be what
// the doubles give, at the edges of the range where that holds and past them.
#include "values/arithmetic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace brevalon {
namespace {

int64_t through_doubles(int64_t a, int64_t b) { return truncate_to_int64(static_cast<double>(a) + static_cast<double>(b)); }

TEST(Arithmetic, AddingTwoIntegersGivesWhatTheirDoublesGive) {
  const int64_t edge = int64_t{1} << 52;
  std::vector<int64_t> values{0, 1, -1, 7, -7, edge - 1, edge, edge + 1, -edge + 1, -edge, -edge - 1,
                              2 * edge - 1, 2 * edge, 2 * edge + 1, -2 * edge, -2 * edge - 1,
                              std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min(),
                              std::numeric_limits<int64_t>::max() - 1, std::numeric_limits<int64_t>::min() + 1};
  for (int64_t a : values)
    for (int64_t b : values) EXPECT_EQ(add_through_double(a, b), through_doubles(a, b)) << a << " + " << b;
}

TEST(Arithmetic, SumsPastTheExactRangeRoundAndSaturate) {
  const int64_t two_to_53 = int64_t{1} << 53;
  EXPECT_EQ(add_through_double(two_to_53, 1), two_to_53);
  EXPECT_EQ(add_through_double(int64_t{1} << 52, int64_t{1} << 52), two_to_53);
  EXPECT_EQ(add_through_double(std::numeric_limits<int64_t>::max(), 1), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(add_through_double(std::numeric_limits<int64_t>::min(), -1), std::numeric_limits<int64_t>::min());
}

}  // namespace
}  // namespace brevalon

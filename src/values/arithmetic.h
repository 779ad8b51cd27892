// Integer addition through doubles, shared by the + native and its fast path so both round alike.
#pragma once
#include <cmath>
#include <cstdint>

namespace brevalon {

// A double sum back to an integer by truncation; out of range saturates instead of being undefined.
// 2^63: the least double above INT64_MAX; its negation is INT64_MIN exactly.
constexpr double two_to_the_63 = 9223372036854775808.0;

inline int64_t truncate_to_int64(double sum) {
  if (std::isnan(sum)) return 0;
  if (sum >= two_to_the_63) return INT64_MAX;
  if (sum < -two_to_the_63) return INT64_MIN;
  return static_cast<int64_t>(sum);
}

// Two integers added as the native addition does: through doubles. Integers of at most 2^52 in
// size convert exactly, and so does their sum, so the integer sum is the double's, had sooner.
inline int64_t add_through_double(int64_t a, int64_t b) {
  constexpr int64_t exact = int64_t{1} << 52;
  if (a >= -exact && a <= exact && b >= -exact && b <= exact) return a + b;
  return truncate_to_int64(static_cast<double>(a) + static_cast<double>(b));
}

}  // namespace brevalon

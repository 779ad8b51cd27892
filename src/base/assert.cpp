// The report of a broken invariant.
#include "base/assert.h"

#include <cstdio>
#include <cstdlib>

namespace brevalon {

void assertion_failed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  std::abort();
}

}  // namespace brevalon

// What every fuzz target shares: quiet standard output and a crash that libFuzzer records.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace brevalon::fuzzing {

// The interpreter writes reader messages and error reports to standard output at once, line by
// line; at thousands of runs a second that is only noise, so descriptor 1 goes to /dev/null.
inline void silence_standard_output() {
  int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) {
    ::dup2(null, 1);
    ::close(null);
  }
}

// A broken invariant that is not a memory error still has to stop the run as a crash.
[[noreturn]] inline void broken(const char* what) {
  std::fprintf(stderr, "broken invariant: %s\n", what);
  std::abort();
}

}  // namespace brevalon::fuzzing

// What every fuzz target shares: quiet standard output and a crash that libFuzzer records.
#pragma once
#include <fcntl.h>
#include <sys/resource.h>
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

// The executable raises its soft stack limit before it runs anything (the reader recurses up to
// its nesting limit, which a sanitizer build cannot fit in 8 MiB); the harnesses bypass its entry
// point, so they do the same.
inline void reserve_machine_stack() {
  constexpr rlim_t wanted = rlim_t{64} << 20;
  struct rlimit limit {};
  if (getrlimit(RLIMIT_STACK, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= wanted) return;
  limit.rlim_cur = limit.rlim_max == RLIM_INFINITY || limit.rlim_max > wanted ? wanted : limit.rlim_max;
  setrlimit(RLIMIT_STACK, &limit);
}

// A broken invariant that is not a memory error still has to stop the run as a crash.
[[noreturn]] inline void broken(const char* what) {
  std::fprintf(stderr, "broken invariant: %s\n", what);
  std::abort();
}

}  // namespace brevalon::fuzzing

// Fast paths for prelude functions, valid while the bindings they stand for keep their start-up values.
#pragma once
#include "values/value.h"

#ifndef BREVALON_FAST_PATHS
#error "the build defines BREVALON_FAST_PATHS as 1 (fast paths) or 0 (faithful interpreter)"
#endif

namespace brevalon {

struct Runtime;

// False in the faithful build, whose fast paths are never armed: it is the reference the
// fast build is compared with.
inline constexpr bool fast_paths_built = BREVALON_FAST_PATHS != 0;

// One per run. Any change to a watched binding or table bumps watched_changes, which turns every
// fast path off for the rest of the run.
struct FastPaths {
  Value* plus = nullptr;  // the prelude's variadic +
  uint64_t watched_changes = 0;
  bool plus_intact() const { return watched_changes == 0; }
};

// Called after start-up: every environment and table made so far is watched from now on.
void arm_fast_paths(Runtime& runtime);

// (+ args...) on integers only or strings only, computed as the prelude would compute it:
// pairwise through add. Null when the arguments take the general path.
Value* fast_plus(Runtime& runtime, Value* arguments);

}  // namespace brevalon

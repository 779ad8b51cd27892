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

struct FastPaths {
  Value* plus = nullptr;  // the prelude's variadic +
  bool intact = false;
};
extern FastPaths fast_paths;

// Called after start-up: every environment and table made so far is watched from now on.
void arm_fast_paths(Runtime& runtime);
// Any change to a watched binding or table turns every fast path off for the rest of the run.
inline void fast_paths_invalidated() { fast_paths.intact = false; }

// (+ args...) on integers only or strings only, computed as the prelude would compute it:
// pairwise through add. Null when the arguments take the general path.
Value* fast_plus(Runtime& runtime, Value* arguments);

}  // namespace brevalon

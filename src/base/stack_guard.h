// A check of the machine stack for the parts that still recurse: the reader and runs nested in natives.
#pragma once
#include <cstdint>

namespace brevalon {

// Records the top of the machine stack; called once when the run starts.
void mark_stack_top();
// True when the stack is nearly used up: the caller stops with an orderly error instead of overflowing.
bool stack_nearly_full();
// The lowest address a fast path that recurses on the machine stack may reach: it keeps to the top
// half of the usable stack and to a few MiB, leaving the rest to the nested runs the stepped
// machine would make.
uintptr_t recursion_floor();

}  // namespace brevalon

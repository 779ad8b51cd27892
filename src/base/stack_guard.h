// A check of the machine stack for the parts that still recurse: the reader and runs nested in natives.
#pragma once
#include <cstdint>

namespace brevalon {

// Records the top of the machine stack, whose size its limit gives; called once when the run starts.
void mark_stack_top();
// The same for a stack of `stack_bytes` mapped whole, all of which can be used.
void mark_stack_top(uintptr_t stack_bytes);
// True when the stack is nearly used up: the caller stops with an orderly error instead of overflowing.
bool stack_nearly_full();
// The lowest address a fast path that recurses on the machine stack may reach: it keeps to the top
// half of the usable stack (and to a few MiB of a stack grown on demand), leaving the rest to the nested runs the stepped
// machine would make.
uintptr_t recursion_floor();

}  // namespace brevalon

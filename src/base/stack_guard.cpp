// The stack check compares the current frame's address with the recorded top and the stack's size limit.
#include "base/stack_guard.h"

#include <algorithm>
#include <cstdint>
#include <sys/resource.h>

namespace brevalon {

namespace {
// Per thread: each thread that runs a program has a stack of its own.
thread_local uintptr_t stack_top = 0;
thread_local uintptr_t usable_bytes = 0;
// Whether the stack is mapped whole (see own_stack.h), rather than grown on demand up to a limit.
thread_local bool stack_mapped = false;

// The usual soft limit, assumed when the limit cannot be read.
constexpr uintptr_t default_stack_bytes = uintptr_t{8} << 20;
// An unlimited stack still ends somewhere; checks stop at this much, which no nesting limit needs.
constexpr uintptr_t unlimited_stack_bytes = uintptr_t{256} << 20;
// The least room kept free below the check for the error's own path and sanitizers' larger frames.
constexpr uintptr_t minimum_margin_bytes = uintptr_t{1} << 20;
// The most a fast path that recurses on the machine stack takes of a stack grown on demand.
constexpr uintptr_t recursion_bytes = uintptr_t{3} << 20;

uintptr_t here() { return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)); }

void measure(uintptr_t size) {
  uintptr_t margin = std::max(minimum_margin_bytes, size / 4);
  usable_bytes = size > margin ? size - margin : size / 2;
}
}  // namespace

void mark_stack_top() {
  rlimit limit{};
  uintptr_t size = default_stack_bytes;
  if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) size = limit.rlim_cur;
  else if (limit.rlim_cur == RLIM_INFINITY) size = unlimited_stack_bytes;
  stack_top = here();
  stack_mapped = false;
  measure(size);
}

void mark_stack_top(uintptr_t stack_bytes) {
  stack_top = here();
  stack_mapped = true;
  measure(stack_bytes);
}

bool stack_nearly_full() {
  // Without a recorded top (a test calling in directly) this frame is taken as the top: conservative.
  if (!stack_top) mark_stack_top();
  uintptr_t now = here();
  return now < stack_top && stack_top - now > usable_bytes;
}

uintptr_t recursion_floor() {
  if (!stack_top) mark_stack_top();
  // On a stack grown on demand, at most a few MiB whatever the limit says: a stack that cannot grow
  // as far as its limit promises (under an emulator, for one) is still never run out of.
  return stack_top - (stack_mapped ? usable_bytes / 2 : std::min(usable_bytes / 2, recursion_bytes));
}

}  // namespace brevalon

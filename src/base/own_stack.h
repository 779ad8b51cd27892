// A thread with a machine stack of a chosen size, mapped whole, for runs that recurse deeply.
#pragma once
#include <cstddef>
#include <functional>

namespace brevalon {

// Runs `body` on a thread of its own whose machine stack is `bytes` long, and waits for it; the
// stack guard measures that stack. Unlike the main thread's stack, which grows on demand and
// (under an emulator, for one) may not grow as far as its limit says, this one is mapped at once,
// so recursion may use all of it. Under a limit of the address space the stack is smaller. False,
// with `body` not run, when no such thread can be made.
// `body` must not throw.
bool run_on_own_stack(size_t bytes, const std::function<void()>& body);

}  // namespace brevalon

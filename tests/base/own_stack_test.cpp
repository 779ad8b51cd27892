// A run on a stack of its own: the stack guard measures that stack, not the main thread's limit.
#include <gtest/gtest.h>

#include <cstdint>

#include "base/own_stack.h"
#include "base/stack_guard.h"

namespace brevalon {
namespace {

uintptr_t address_here() { return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)); }

// Recurses until the guard says the stack is nearly full; the deepest address reached.
[[gnu::noinline]] uintptr_t descend_until_nearly_full(int depth) {
  volatile char room[4096];
  room[depth % sizeof room] = 1;
  if (stack_nearly_full()) return address_here();
  uintptr_t deepest = descend_until_nearly_full(depth + 1);
  return deepest + room[depth % sizeof room] - 1;
}

TEST(OwnStack, ARecursionUsesMostOfTheStackAndStopsBeforeItsEnd) {
  constexpr size_t stack_bytes = size_t{64} << 20;
  uintptr_t top = 0;
  uintptr_t floor = 0;
  uintptr_t deepest = 0;
  bool ran = run_on_own_stack(stack_bytes, [&] {
    top = address_here();
    floor = recursion_floor();
    deepest = descend_until_nearly_full(0);
  });
  ASSERT_TRUE(ran);
  // Direct evaluation may take half of what the guard leaves usable, far more than the few MiB
  // it takes of a stack grown on demand.
  EXPECT_GE(top - floor, stack_bytes / 4);
  // The guard stopped the recursion past the floor and before the guard page.
  EXPECT_LT(deepest, floor);
  EXPECT_LT(top - deepest, stack_bytes);
}

}  // namespace
}  // namespace brevalon

// The thread runs the body on a stack mapped here, with an unmapped guard page below it.
#include "base/own_stack.h"

#include <algorithm>
#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/mman.h>
#include <unistd.h>

#include "base/stack_guard.h"

namespace brevalon {

namespace {

struct Run {
  const std::function<void()>* body;
  size_t stack_bytes;
};

void* run_body(void* argument) {
  auto* run = static_cast<Run*>(argument);
  mark_stack_top(run->stack_bytes);
  (*run->body)();
  return nullptr;
}

}  // namespace

bool run_on_own_stack(size_t bytes, const std::function<void()>& body) {
  // Under a limit of the address space, the stack takes no more than an eighth of it; a stack too
  // small to be worth a thread is not made.
  constexpr size_t least_bytes = size_t{16} << 20;
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) bytes = std::min(bytes, size_t(limit.rlim_cur / 8));
  if (bytes < least_bytes) return false;
  size_t page = size_t(sysconf(_SC_PAGESIZE));
  size_t mapped = bytes + page;
  // Pages are taken only as the recursion reaches them; no swap is set aside for the rest.
  void* memory = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
  if (memory == MAP_FAILED) return false;
  // A run past the end faults on the guard page rather than writing over another mapping.
  mprotect(memory, page, PROT_NONE);
  // The run's allocations come from the main arena, as they would on the main thread, rather
  // than from an arena of the thread's own, which costs more to allocate from and to free to.
  mallopt(M_ARENA_MAX, 1);
  pthread_attr_t attributes;
  bool ran = false;
  if (pthread_attr_init(&attributes) == 0) {
    Run run{&body, bytes};
    pthread_t thread;
    if (pthread_attr_setstack(&attributes, static_cast<char*>(memory) + page, bytes) == 0 &&
        pthread_create(&thread, &attributes, run_body, &run) == 0) {
      pthread_join(thread, nullptr);
      ran = true;
    }
    pthread_attr_destroy(&attributes);
  }
  munmap(memory, mapped);
  return ran;
}

}  // namespace brevalon

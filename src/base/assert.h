// Invariant checks that debug and sanitizer builds make and release builds compile out.
#pragma once

// NDEBUG marks an optimised build; a sanitizer build asks for the checks back through
// BREVALON_SANITIZE, since it is where a broken invariant is cheapest to find.
#if !defined(NDEBUG) || defined(BREVALON_SANITIZE)
#define BREVALON_ASSERTIONS 1
#else
#define BREVALON_ASSERTIONS 0
#endif

namespace brevalon {

// Reports the broken invariant on standard error and aborts, so a test or sanitizer run stops there.
[[noreturn]] void assertion_failed(const char* condition, const char* file, int line);

}  // namespace brevalon

// A macro rather than a function: only a macro can drop the condition unevaluated in release
// builds and name its text and place when it fails.
#if BREVALON_ASSERTIONS
#define BREVALON_ASSERT(condition) \
  ((condition) ? static_cast<void>(0) : ::brevalon::assertion_failed(#condition, __FILE__, __LINE__))
#else
#define BREVALON_ASSERT(condition) static_cast<void>(0)
#endif

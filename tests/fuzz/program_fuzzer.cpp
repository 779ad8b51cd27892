// Fuzz target: whole programs through the driver's top-level loop, each in a fresh runtime with a
// bounded number of steps and a bounded heap, in a scratch directory, without the writing natives.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string_view>

#include "eval/driver.h"
#include "base/errors.h"
#include "eval/runtime.h"
#include "fuzz_support.h"
#include "startup/global_environment.h"
#include "values/symbol.h"

namespace brevalon {
extern const std::string_view startup_image;
}

using namespace brevalon;

namespace {
// Enough for most corpus programs; a loop without end stops within a fraction of a second.
constexpr size_t step_budget = 50'000;
constexpr size_t live_bytes_budget = size_t{32} << 20;

// Programs may read and load files by any name: they run in an empty directory of their own, and
// libFuzzer, which reads its corpus and writes crash files by relative paths, in the one it was given.
char scratch[] = "/tmp/brevalon-fuzz-XXXXXX";
int home = -1;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::silence_standard_output();
  fuzzing::reserve_machine_stack();
  home = ::open(".", O_RDONLY | O_DIRECTORY);
  if (home < 0 || !::mkdtemp(scratch)) fuzzing::broken("no scratch directory");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Runtime runtime;
  build_global_environment(runtime, startup_image);
  // As the executable keeps its start-up values: what programs put into them is marked from them.
  runtime.heap.make_image_permanent();
  // Random programs must not create files wherever a random path points.
  for (const char* name : {"write-file", "append-file"}) {
    NamedSymbol symbol(runtime.heap.names.intern(name));
    runtime.global->remove(&symbol);
  }
  runtime.step_budget = step_budget;
  runtime.live_bytes_budget = live_bytes_budget;
  if (::chdir(scratch) != 0) fuzzing::broken("cannot enter the scratch directory");
  try {
    do_string(runtime, text);
  } catch (const LispError&) {
  } catch (const InternalError&) {
  } catch (const SyntaxError&) {
  } catch (const std::bad_alloc&) {
  }
  if (::fchdir(home) != 0) fuzzing::broken("cannot leave the scratch directory");
  return 0;
}

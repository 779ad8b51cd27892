// Fuzz target: the reader over arbitrary bytes, from position 0 and on from each result, and the
// two printers over what it built.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/errors.h"
#include "eval/runtime.h"
#include "fuzz_support.h"
#include "printer/printer.h"
#include "reader/reader.h"

using namespace brevalon;

namespace {
Runtime* runtime;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::silence_standard_output();
  fuzzing::reserve_machine_stack();
  runtime = new Runtime();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  int64_t position = 0;
  try {
    while (auto read = next_expr(runtime->heap, text, position)) {
      // Each expression ends further on, inside the text: reading a whole text always ends.
      if (read->position <= position || read->position > int64_t(size)) fuzzing::broken("reader position");
      position = read->position;
      try {
        represent(read->value);
        to_string(read->value);
      } catch (const LispError&) {
      } catch (const InternalError&) {
      }
    }
  } catch (const SyntaxError&) {
  }
  // Nothing read is a root: the collection reclaims all of it and checks the heap's links.
  runtime->heap.collect();
  return 0;
}

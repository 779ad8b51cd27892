// Fuzz target: the read built-in, called as a program calls it, at positions taken from the input
// (anywhere in the 64-bit range, inside the text, negative) and then at each position it returns.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "base/errors.h"
#include "eval/runners.h"
#include "eval/runtime.h"
#include "fuzz_support.h"
#include "startup/global_environment.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"

namespace brevalon {
extern const std::string_view startup_image;
}

using namespace brevalon;

namespace {

Runtime* runtime;
Value* read_function;

// One call of (read text position); nil when nothing is read or the call fails.
Value* call_read(String* text, int64_t position) {
  Heap& heap = runtime->heap;
  heap.push_root(text);
  Value* result = heap.constants.nil;
  try {
    Value* arguments = heap.make<Cell>(text, heap.make<Cell>(heap.make<Integer>(position), heap.constants.nil));
    result = compute_new(*runtime, read_function, arguments);
  } catch (const LispError&) {
  } catch (const InternalError&) {
  } catch (const SyntaxError&) {
  }
  heap.pop_root(text);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::silence_standard_output();
  fuzzing::reserve_machine_stack();
  runtime = new Runtime();
  build_global_environment(*runtime, startup_image);
  NamedSymbol name(runtime->heap.names.intern("read"));
  read_function = runtime->global->lookup(&name);
  if (!read_function) fuzzing::broken("read is not bound");
  runtime->permanent.push_back(read_function);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(int64_t)) return 0;
  int64_t raw;
  std::memcpy(&raw, data, sizeof raw);
  Heap& heap = runtime->heap;
  String* text = heap.make<String>(std::string(reinterpret_cast<const char*>(data) + sizeof raw, size - sizeof raw));
  heap.push_root(text);
  int64_t length = int64_t(text->text.size());
  int64_t inside = length ? int64_t(uint64_t(raw) % uint64_t(length + 1)) : 0;
  for (int64_t start : {raw, inside, -inside - 1, length}) {
    int64_t position = start;
    for (;;) {
      Value* pair = call_read(text, position);
      if (pair == heap.constants.nil) break;
      if (pair->kind != Kind::Cell || car(pair)->kind != Kind::Integer) fuzzing::broken("read's result");
      int64_t next = as<Integer>(car(pair))->value;
      if (next <= position || next > length) fuzzing::broken("read's position");
      position = next;
    }
  }
  heap.pop_root(text);
  heap.collect();
  return 0;
}

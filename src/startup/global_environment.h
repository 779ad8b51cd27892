// Building the global environment: constants, types, natives in table order, then the prelude.
#pragma once
#include "eval/runtime.h"

namespace brevalon {

// The Brevalon text of the prelude, embedded at build time.
extern const std::string_view prelude_text;

// From a start-up image when one is given (the executable's own), else by running the prelude's text.
void build_global_environment(Runtime& runtime, std::string_view image = {});

// Natives by position in the start-up tables, for images.
int native_index(const Value* implementation);
Value* make_native_implementation(Heap& heap, int index, const std::string& own_name);
// The constants, types and natives only, without the prelude (for tests of the natives alone).
void bind_natives(Runtime& runtime);

}  // namespace brevalon

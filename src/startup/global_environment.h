// Building the global environment: constants, types, natives in table order, then the prelude.
#pragma once
#include "eval/runtime.h"

namespace brevalon {

// The Brevalon text of the prelude, embedded at build time.
extern const std::string_view prelude_text;

void build_global_environment(Runtime& runtime);
// The constants, types and natives only, without the prelude (for tests of the natives alone).
void bind_natives(Runtime& runtime);

}  // namespace brevalon

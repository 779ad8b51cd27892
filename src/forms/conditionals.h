// The conditional forms if, and and or, and the not native.
#pragma once
#include "eval/resumable.h"
#include "values/function.h"

namespace brevalon {

Value* native_not(Interpreter&, Environment*, Value* arguments);
ResumableState* make_if_state(FramePools& pools);
ResumableState* make_and_state(FramePools& pools);
ResumableState* make_or_state(FramePools& pools);

}  // namespace brevalon

// The for form.
#pragma once
#include "eval/resumable.h"
#include "values/function.h"

namespace brevalon {

ResumableState* make_for_state(FramePools& pools);

}  // namespace brevalon

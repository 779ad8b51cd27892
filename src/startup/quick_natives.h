// Which natives have quick routines (see QuickRoutine), given to them as start-up makes them.
#pragma once

#include "values/function.h"

namespace brevalon {

void give_quick_routine(NativeFunc* native);

}  // namespace brevalon

// The common natives taking their operands in place, without an argument list.
#pragma once

#include "values/function.h"

namespace brevalon {

// Gives `native` its quick routine when its routine has one; the quick routine answers exactly as
// the routine does for the operand kinds it accepts and declines every other call.
void give_quick_routine(NativeFunc* native);

}  // namespace brevalon

// The frames the direct evaluator's records stand for, made when it hands on to the trampoline.
#pragma once

#include "eval/fast/direct.h"

namespace brevalon {

class Interpreter;
struct EvalFrame;

// Turns the records [first, end), innermost last, into the frames they stand for, in the states
// they would be in: the first record's frames are set on `base_frame`, the others pushed on the
// trampoline's stack above it. `values` is where the first record's values in hand are (see
// DirectRecords::values). The loops' records become the frames of every level first.
void records_become_frames(Interpreter& interpreter, EvalFrame& base_frame, DirectRecord* first, DirectRecord* end,
                           Value** values);

}  // namespace brevalon

// The natives with quick routines, each paired with its own list-taking routine.
#include "startup/quick_natives.h"

#include "builtins/equality_native.h"
#include "builtins/lists.h"
#include "builtins/numbers.h"
#include "builtins/quick_natives.h"
#include "forms/definitions.h"

namespace brevalon {

namespace {

struct QuickEntry {
  NativeRoutine routine;
  QuickRoutine quick;
  uint8_t arity;
  bool has_effects = false;
};

const QuickEntry quick_entries[] = {
    {native_subtract, quick_subtract, 2},
    {native_multiply, quick_multiply, 2},
    {native_less, quick_less, 2},
    {native_greater, quick_greater, 2},
    {native_less_equal, quick_less_equal, 2},
    {native_greater_equal, quick_greater_equal, 2},
    {native_equal, quick_equal, 2},
    {native_car, quick_car, 1},
    {native_cdr, quick_cdr, 1},
    {native_cons, quick_cons, 2},
    {native_quote, quick_quote, 1},
    {native_set_symbol, quick_set_symbol, 2, true},
    {native_fn, quick_fn, quick_operand_list},
};

}  // namespace

void give_quick_routine(NativeFunc* native) {
  for (const QuickEntry& entry : quick_entries) {
    if (entry.routine == native->routine) {
      native->quick = entry.quick;
      native->quick_arity = entry.arity;
      native->quick_has_effects = entry.has_effects;
      return;
    }
  }
}

}  // namespace brevalon

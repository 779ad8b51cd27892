// Quick routines of the arithmetic, orderings, equality and cell natives: a result only where the
// list-taking routine would return one without failing, null (decline) everywhere else.
#include "builtins/quick_natives.h"

#include "builtins/equality_native.h"
#include "builtins/lists.h"
#include "builtins/numbers.h"
#include "memory/heap.h"
#include "values/equality.h"
#include "values/list.h"
#include "values/scalars.h"

namespace brevalon {

namespace {

bool both_integers(Value* const* operands) {
  return operands[0]->kind == Kind::Integer && operands[1]->kind == Kind::Integer;
}
int64_t first(Value* const* operands) { return as<Integer>(operands[0])->value; }
int64_t second(Value* const* operands) { return as<Integer>(operands[1])->value; }

Value* quick_subtract(Heap& heap, Value* const* operands) {
  if (!both_integers(operands)) return nullptr;
  return heap.make<Integer>(static_cast<int64_t>(static_cast<uint64_t>(first(operands)) - static_cast<uint64_t>(second(operands))));
}

Value* quick_multiply(Heap& heap, Value* const* operands) {
  if (!both_integers(operands)) return nullptr;
  return heap.make<Integer>(static_cast<int64_t>(static_cast<uint64_t>(first(operands)) * static_cast<uint64_t>(second(operands))));
}

template <typename Compare>
Value* quick_ordering(Heap& heap, Value* const* operands) {
  if (!both_integers(operands)) return nullptr;
  return heap.constants.boolean(Compare{}(first(operands), second(operands)));
}

bool compound(const Value* value) { return value->kind == Kind::Cell || value->kind == Kind::Hashtable; }

// Two compound values may take the comparison's walk, which can fail on data too large: those
// are left to the routine, so that it fails in its own frame.
Value* quick_equal(Heap& heap, Value* const* operands) {
  if (compound(operands[0]) && compound(operands[1])) return nullptr;
  Value* uncomparable = nullptr;
  bool equal = values_equal(operands[0], operands[1], uncomparable);
  if (uncomparable) return nullptr;
  return heap.constants.boolean(equal);
}

Value* quick_car(Heap&, Value* const* operands) {
  return operands[0]->kind == Kind::Cell ? car(operands[0]) : nullptr;
}

Value* quick_cdr(Heap&, Value* const* operands) {
  return operands[0]->kind == Kind::Cell ? cdr(operands[0]) : nullptr;
}

Value* quick_cons(Heap& heap, Value* const* operands) { return heap.make<Cell>(operands[0], operands[1]); }

struct QuickEntry {
  NativeRoutine routine;
  QuickRoutine quick;
  uint8_t arity;
};

const QuickEntry quick_entries[] = {
    {native_subtract, quick_subtract, 2},
    {native_multiply, quick_multiply, 2},
    {native_less, quick_ordering<std::less<int64_t>>, 2},
    {native_greater, quick_ordering<std::greater<int64_t>>, 2},
    {native_less_equal, quick_ordering<std::less_equal<int64_t>>, 2},
    {native_greater_equal, quick_ordering<std::greater_equal<int64_t>>, 2},
    {native_equal, quick_equal, 2},
    {native_car, quick_car, 1},
    {native_cdr, quick_cdr, 1},
    {native_cons, quick_cons, 2},
};

}  // namespace

void give_quick_routine(NativeFunc* native) {
  for (const QuickEntry& entry : quick_entries) {
    if (entry.routine == native->routine) {
      native->quick = entry.quick;
      native->quick_arity = entry.arity;
      return;
    }
  }
}

}  // namespace brevalon

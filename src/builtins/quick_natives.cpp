// Quick routines of the arithmetic, ordering, equality and cell natives.
#include "builtins/quick_natives.h"

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
bool compound(const Value* value) { return value->kind == Kind::Cell || value->kind == Kind::Hashtable; }

}  // namespace

Value* quick_subtract(Heap& heap, Environment*, Value* const* operands) {
  if (!both_integers(operands)) return nullptr;
  return heap.make<Integer>(static_cast<int64_t>(static_cast<uint64_t>(first(operands)) - static_cast<uint64_t>(second(operands))));
}

Value* quick_multiply(Heap& heap, Environment*, Value* const* operands) {
  if (!both_integers(operands)) return nullptr;
  return heap.make<Integer>(static_cast<int64_t>(static_cast<uint64_t>(first(operands)) * static_cast<uint64_t>(second(operands))));
}

namespace {

template <typename Compare>
Value* quick_ordering(Heap& heap, Value* const* operands) {
  if (!both_integers(operands)) return nullptr;
  return heap.constants.boolean(Compare{}(first(operands), second(operands)));
}

}  // namespace

Value* quick_less(Heap& heap, Environment*, Value* const* operands) { return quick_ordering<std::less<int64_t>>(heap, operands); }
Value* quick_greater(Heap& heap, Environment*, Value* const* operands) { return quick_ordering<std::greater<int64_t>>(heap, operands); }
Value* quick_less_equal(Heap& heap, Environment*, Value* const* operands) {
  return quick_ordering<std::less_equal<int64_t>>(heap, operands);
}
Value* quick_greater_equal(Heap& heap, Environment*, Value* const* operands) {
  return quick_ordering<std::greater_equal<int64_t>>(heap, operands);
}


// Two compound values may take the comparison's walk, which can fail on data too large: those
// are left to the routine, so that it fails in its own frame.
Value* quick_equal(Heap& heap, Environment*, Value* const* operands) {
  Value* a = operands[0];
  Value* b = operands[1];
  // The commonest tests, (= x nil) and (= n 0), without the comparison's set-up: a unique value
  // equals only itself, whatever the other value is.
  if (a->kind == Kind::Unique || b->kind == Kind::Unique) return heap.constants.boolean(a == b);
  if (a->kind == Kind::Integer && b->kind == Kind::Integer)
    return heap.constants.boolean(as<Integer>(a)->value == as<Integer>(b)->value);
  if (compound(a) && compound(b)) return nullptr;
  Value* uncomparable = nullptr;
  bool equal = values_equal(operands[0], operands[1], uncomparable);
  if (uncomparable) return nullptr;
  return heap.constants.boolean(equal);
}

Value* quick_car(Heap&, Environment*, Value* const* operands) {
  return operands[0]->kind == Kind::Cell ? car(operands[0]) : nullptr;
}

Value* quick_cdr(Heap&, Environment*, Value* const* operands) {
  return operands[0]->kind == Kind::Cell ? cdr(operands[0]) : nullptr;
}

Value* quick_cons(Heap& heap, Environment*, Value* const* operands) { return heap.make<Cell>(operands[0], operands[1]); }

}  // namespace brevalon

// Quick routines (see QuickRoutine) of the arithmetic, ordering, equality and cell natives: each
// answers as its native does for two integers (the orderings, - and *), for anything but two
// compound values (=), for a cell (car, cdr), and declines everything else.
#pragma once

#include "values/function.h"

namespace brevalon {

Value* quick_subtract(Heap&, Environment*, Value* const* operands);
Value* quick_multiply(Heap&, Environment*, Value* const* operands);
Value* quick_less(Heap&, Environment*, Value* const* operands);
Value* quick_greater(Heap&, Environment*, Value* const* operands);
Value* quick_less_equal(Heap&, Environment*, Value* const* operands);
Value* quick_greater_equal(Heap&, Environment*, Value* const* operands);
Value* quick_equal(Heap&, Environment*, Value* const* operands);
Value* quick_car(Heap&, Environment*, Value* const* operands);
Value* quick_cdr(Heap&, Environment*, Value* const* operands);
Value* quick_cons(Heap&, Environment*, Value* const* operands);

}  // namespace brevalon

// The comparison behind =.
#include "values/equality.h"

#include "base/errors.h"
#include "base/stack_guard.h"
#include "values/dictionary.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"
#include "values/types.h"

namespace brevalon {

namespace {

bool equal(Value* a, Value* b, int depth, uint64_t& steps, Value*& uncomparable) {
  if (depth > max_equality_depth || stack_nearly_full())
    internal_error("values nested more than " + std::to_string(max_equality_depth) + " levels deep cannot be compared");
  // A long list is walked along its cdrs in a loop; only nesting in cars deepens the recursion.
  for (;;) {
    if (++steps > max_equality_steps)
      internal_error("values too large to compare (more than " + std::to_string(max_equality_steps) + " steps)");
    if (!same_type(a, b)) return false;
    switch (a->kind) {
      case Kind::Integer:
        return as<Integer>(a)->value == as<Integer>(b)->value;
      case Kind::String:
        return as<String>(a)->text == as<String>(b)->text;
      case Kind::NamedSymbol:
        return b->kind == Kind::NamedSymbol && as<NamedSymbol>(a)->name == as<NamedSymbol>(b)->name;
      case Kind::Unique:
      case Kind::Type:
      case Kind::Class:
        return a == b;
      case Kind::Function:
        return as<Function>(a)->implementation == as<Function>(b)->implementation;
      case Kind::Hashtable: {
        auto* x = as<Hashtable>(a);
        auto* y = as<Hashtable>(b);
        if (x->size() != y->size()) return false;
        for (auto& [key, value] : x->entries()) {
          Value* other = y->get(key);
          if (!other || !equal(value, other, depth + 1, steps, uncomparable)) return false;
        }
        return true;
      }
      case Kind::Cell:
        if (!equal(car(a), car(b), depth + 1, steps, uncomparable)) return false;
        a = cdr(a);
        b = cdr(b);
        continue;
      default:
        // Every caller up the recursion returns false at once, so nothing more is compared.
        uncomparable = a;
        return false;
    }
  }
}

}  // namespace

bool values_equal(Value* a, Value* b, Value*& uncomparable) {
  uint64_t steps = 0;
  uncomparable = nullptr;
  return equal(a, b, 0, steps, uncomparable);
}

}  // namespace brevalon

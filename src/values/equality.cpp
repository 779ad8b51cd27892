// The comparison behind =, walking nested data with a work list instead of recursion.
#include "values/equality.h"

#include <vector>

#include "base/errors.h"
#include "values/dictionary.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"
#include "values/types.h"

namespace brevalon {

namespace {

// What remains to compare: a pair of values, or the entries of two dictionaries from `entry` on.
// Nothing is allocated while comparing, so no collection runs and the work list needs no roots.
struct Pending {
  Value* a;
  Value* b;
  size_t entry;
};
constexpr size_t not_entries = SIZE_MAX;

class Comparison {
 public:
  bool run(Value* a, Value* b, Value*& uncomparable);

 private:
  bool compare(Value* a, Value* b);
  bool compare_next_entry(Pending entries);
  void count_step() {
    if (++steps_ > max_equality_steps)
      internal_error("values too large to compare (more than " + std::to_string(max_equality_steps) + " steps)");
  }

  std::vector<Pending> pending_;
  uint64_t steps_ = 0;
  Value* uncomparable_ = nullptr;
};

// The order of the walk is the order of the definition: a car before its cdr, a dictionary's
// entries in its own order, and the first difference or value without equality ends it all.
bool Comparison::run(Value* a, Value* b, Value*& uncomparable) {
  bool equal = compare(a, b);
  while (equal && !pending_.empty()) {
    Pending next = pending_.back();
    pending_.pop_back();
    equal = next.entry == not_entries ? compare(next.a, next.b) : compare_next_entry(next);
  }
  uncomparable = uncomparable_;
  return equal;
}

// Compares two values; their nested parts are left on the work list. A list's cdrs are pushed
// and its cars compared at once, so a car nested a million deep adds nothing to the list.
bool Comparison::compare(Value* a, Value* b) {
  for (;;) {
    count_step();
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
      case Kind::Hashtable:
        if (as<Hashtable>(a)->size() != as<Hashtable>(b)->size()) return false;
        if (as<Hashtable>(a)->size() != 0) pending_.push_back({a, b, 0});
        return true;
      case Kind::Cell:
        // Two nil cdrs are equal without a look, but count as the step comparing them would take.
        if (is_nil(cdr(a)) && is_nil(cdr(b))) count_step();
        else pending_.push_back({cdr(a), cdr(b), not_entries});
        a = car(a);
        b = car(b);
        continue;
      default:
        uncomparable_ = a;
        return false;
    }
  }
}

// Looks up the next entry of one dictionary in the other; the last entry's values take the place
// of the dictionaries, so a chain of dictionaries nested in their last entries keeps the list short.
bool Comparison::compare_next_entry(Pending entries) {
  auto* x = as<Hashtable>(entries.a);
  auto* y = as<Hashtable>(entries.b);
  const auto& [key, value] = x->entries()[entries.entry];
  Value* other = y->get(key);
  if (!other) return false;
  if (entries.entry + 1 < x->size()) pending_.push_back({x, y, entries.entry + 1});
  return compare(value, other);
}

}  // namespace

bool values_equal(Value* a, Value* b, Value*& uncomparable) { return Comparison().run(a, b, uncomparable); }

}  // namespace brevalon

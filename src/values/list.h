// Cells and the list helpers native code uses: make_list, is_proper_list and ListBuilder.
#pragma once
#include <vector>

#include "values/value.h"

namespace brevalon {

class Heap;

struct Cell final : Value {
  static constexpr bool needs_destructor = false;
  Cell(Value* a, Value* d) : Value(Kind::Cell), car(a), cdr(d) {}
  void visit_edges(Visitor& visit) override {
    visit(car);
    visit(cdr);
  }
  // A hint for the evaluator, never part of the list's meaning: set on a list of argument forms
  // that holds a call no quick call can make (see quick_calls.h), so that none is tried again.
  // It sits in the header's spare bytes and costs a cell nothing.
  bool holds_slow_call = false;
  // Another such hint, worked out the first time a quick call looks: how many operand forms a list
  // of them is when it is a proper list of one or two atoms (see quick_calls.cpp), else none. A
  // list never changes once made, so neither does the count.
  enum class AtomOperands : uint8_t { unknown, one, two, none };
  AtomOperands atom_operands = AtomOperands::unknown;
  Value* car;
  Value* cdr;
};
static_assert(sizeof(Cell) == 32, "a cell is its header and two pointers");

inline Value* car(Value* cell) { return static_cast<Cell*>(cell)->car; }
inline Value* cdr(Value* cell) { return static_cast<Cell*>(cell)->cdr; }
// The element at a position of a list, or null where the value is no list that long.
inline Value* element(Value* list, int position) {
  for (; position > 0 && list->kind == Kind::Cell; --position) list = cdr(list);
  return list->kind == Kind::Cell ? car(list) : nullptr;
}

Value* make_list(Heap& heap, Value* const* items, size_t count);
inline Value* make_list(Heap& heap, const std::vector<Value*>& items) { return make_list(heap, items.data(), items.size()); }
bool is_proper_list(Heap& heap, Value* value);

// Appends to a list under construction without a second pass: head and tail of the chain so far.
struct ListBuilder {
  void append(Heap& heap, Value* item);
  Value* finish(Heap& heap);
  Value* head = nullptr;
  Cell* tail = nullptr;
  void visit_edges(Visitor& visit) { visit(head); }
};

}  // namespace brevalon

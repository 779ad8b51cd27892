// List helpers over cells.
#include "values/list.h"

#include "base/errors.h"
#include "memory/heap.h"

namespace brevalon {

Value* nil_value = nullptr;

Value* make_list(Heap& heap, const std::vector<Value*>& items) {
  Value* list = nil_value;
  for (auto it = items.rbegin(); it != items.rend(); ++it) list = heap.make<Cell>(*it, list);
  return list;
}

bool is_proper_list(Value* value) {
  while (value->kind == Kind::Cell) value = cdr(value);
  return value == nil_value;
}

void ListBuilder::append(Heap& heap, Value* item) {
  Cell* cell = heap.make<Cell>(item, nil_value);
  if (tail) tail->cdr = cell;
  else head = cell;
  tail = cell;
}

}  // namespace brevalon

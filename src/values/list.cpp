// List helpers over cells.
#include "values/list.h"

#include "base/errors.h"
#include "memory/heap.h"

namespace brevalon {

Value* make_list(Heap& heap, const std::vector<Value*>& items) {
  Value* list = heap.constants.nil;
  for (auto it = items.rbegin(); it != items.rend(); ++it) list = heap.make<Cell>(*it, list);
  return list;
}

bool is_proper_list(Heap& heap, Value* value) {
  while (value->kind == Kind::Cell) value = cdr(value);
  return value == heap.constants.nil;
}

void ListBuilder::append(Heap& heap, Value* item) {
  Cell* cell = heap.make<Cell>(item, heap.constants.nil);
  if (tail) tail->cdr = cell;
  else head = cell;
  tail = cell;
}

Value* ListBuilder::finish(Heap& heap) { return head ? head : heap.constants.nil; }

}  // namespace brevalon

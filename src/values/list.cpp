// List helpers over cells.
#include "values/list.h"

#include "base/errors.h"
#include "memory/heap.h"

namespace brevalon {

Value* make_list(Heap& heap, Value* const* items, size_t count) {
  Value* list = heap.constants.nil;
  for (size_t i = count; i-- > 0;) list = heap.make<Cell>(items[i], list);
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

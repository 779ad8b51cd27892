// Proper lists counted, the last one remembered (see counted_lists.h).
#include "eval/fast/counted_lists.h"

#include "eval/runtime.h"
#include "values/list.h"

namespace brevalon {

int64_t known_cells(Runtime& runtime, Value* list) {
  CountedList& last = runtime.fast_paths.counted_list;
  if (!last.list || last.collection != runtime.heap.collections()) return -1;
  if (list == last.list) return static_cast<int64_t>(last.cells);
  if (list != cdr(last.list)) return -1;
  last.list = list->kind == Kind::Cell ? list : nullptr;
  return static_cast<int64_t>(--last.cells);
}

void remember_cells(Runtime& runtime, Value* list, size_t cells) {
  if (list->kind == Kind::Cell) runtime.fast_paths.counted_list = CountedList{list, cells, runtime.heap.collections()};
}

int64_t count_cells(Runtime& runtime, Value* list) {
  if (int64_t known = known_cells(runtime, list); known >= 0) return known;
  size_t cells = 0;
  Value* end = list;
  for (; end->kind == Kind::Cell; end = cdr(end)) ++cells;
  if (end != runtime.heap.constants.nil) return -1;
  remember_cells(runtime, list, cells);
  return static_cast<int64_t>(cells);
}

}  // namespace brevalon

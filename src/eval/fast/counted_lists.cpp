// Proper lists counted, the last one remembered (see counted_lists.h).
#include "eval/fast/counted_lists.h"

#include "eval/runtime.h"
#include "values/list.h"

namespace brevalon {

int64_t count_cells(Runtime& runtime, Value* list) {
  CountedList& last = runtime.fast_paths.counted_list;
  size_t collection = runtime.heap.collections();
  if (last.list && last.collection == collection) {
    if (list == last.list) return static_cast<int64_t>(last.cells);
    if (list == cdr(last.list)) {
      last.list = list->kind == Kind::Cell ? list : nullptr;
      return static_cast<int64_t>(--last.cells);
    }
  }
  size_t cells = 0;
  Value* end = list;
  for (; end->kind == Kind::Cell; end = cdr(end)) ++cells;
  if (end != runtime.heap.constants.nil) return -1;
  if (list->kind == Kind::Cell) last = CountedList{list, cells, collection};
  return static_cast<int64_t>(cells);
}

}  // namespace brevalon

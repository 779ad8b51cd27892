// Lists added in one go: each addition copies the cells of the sum so far and shares the next list.
#include "eval/fast/list_plus.h"

#include "eval/runtime.h"
#include "values/list.h"

namespace brevalon {
namespace {

// Pending frames per cell of the left operand that concat-helper's recursion can need at most.
constexpr size_t frames_per_cell = 64;

bool is_list_value(const Value* value, const Value* nil) { return value == nil || value->kind == Kind::Cell; }

}  // namespace

Value* add_lists(Runtime& runtime, Value* arguments) {
  Heap& heap = runtime.heap;
  Value* nil = heap.constants.nil;
  if (!runtime.fast_paths.prelude_intact(FastPaths::add_entry | FastPaths::iter_entry)) return nullptr;
  // Every left operand is reversed and walked cell by cell, so it must be a proper list; the last
  // argument is only ever shared.
  size_t copied_cells = 0;
  size_t count = 1;
  Value* rest = arguments;
  for (; rest->kind == Kind::Cell && cdr(rest)->kind == Kind::Cell; rest = cdr(rest), ++count) {
    Value* list = car(rest);
    if (!is_list_value(list, nil)) return nullptr;
    for (; list->kind == Kind::Cell; list = cdr(list)) ++copied_cells;
    if (list != nil) return nullptr;
  }
  if (rest->kind != Kind::Cell || cdr(rest) != nil || !is_list_value(car(rest), nil)) return nullptr;
  if (runtime.frame_count + frames_of_prelude_plus(count) + copied_cells * frames_per_cell > Runtime::max_frames) return nullptr;

  Value* sum = car(arguments);
  for (rest = cdr(arguments); rest->kind == Kind::Cell; rest = cdr(rest)) {
    Value* next = car(rest);
    if (sum == nil) {
      sum = next;
    } else if (next != nil) {
      Cell* head = nullptr;
      Cell* tail = nullptr;
      for (Value* cell = sum; cell->kind == Kind::Cell; cell = cdr(cell)) {
        auto* copy = heap.make<Cell>(car(cell), next);
        if (tail) tail->cdr = copy;
        else head = copy;
        tail = copy;
      }
      sum = head;
    }
  }
  return sum;
}

}  // namespace brevalon

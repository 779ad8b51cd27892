// at and in walked over a list in one go instead of once per cell through the generic.
#include "eval/fast/list_generics.h"

#include "eval/fast/counted_lists.h"
#include "eval/runtime.h"
#include "values/equality.h"
#include "values/list.h"
#include "values/scalars.h"

namespace brevalon {
namespace {

// Pending frames per cell the step-by-step methods can need at most (the generic's dispatch,
// the method and its if, the recursive call), and those beside them (one dispatch over the
// start-up methods, whose filter recurses once per method).
constexpr size_t frames_per_cell = 64;
constexpr size_t frames_beside = 2000;

bool frames_fit(const Runtime& runtime, size_t cells) {
  return runtime.frame_count + frames_beside + (cells + 1) * frames_per_cell <= Runtime::max_frames;
}

}  // namespace

Value* native_at(Runtime& runtime, Value* list, Value* index) {
  if (list->kind != Kind::Cell || index->kind != Kind::Integer) return nullptr;
  int64_t steps = as<Integer>(index)->value;
  if (steps < 0 || steps > int64_t{Runtime::max_frames} || !frames_fit(runtime, static_cast<size_t>(steps)))
    return nullptr;
  // Past the end of a list counted before, the call takes the faithful path at once, which fails:
  // the step-by-step method asks again of each tail, and none is walked again.
  if (int64_t known = known_cells(runtime, list); known >= 0 && steps >= known) return nullptr;
  Value* start = list;
  for (int64_t walked = 1; walked <= steps; ++walked) {
    list = cdr(list);
    if (list->kind != Kind::Cell) {
      if (list == runtime.heap.constants.nil) remember_cells(runtime, start, static_cast<size_t>(walked));
      return nullptr;
    }
  }
  return car(list);
}

Value* native_in(Runtime& runtime, Value* list, Value* item) {
  const Constants& constants = runtime.heap.constants;
  int64_t cells = count_cells(runtime, list);
  if (cells < 0 || !frames_fit(runtime, static_cast<size_t>(cells))) return nullptr;
  for (; list->kind == Kind::Cell; list = cdr(list)) {
    Value* element = car(list);
    bool equal;
    if (element->kind == Kind::Integer && item->kind == Kind::Integer) {
      equal = as<Integer>(element)->value == as<Integer>(item)->value;
    } else {
      // A comparison that fails (a value without equality, data too large) fails the same way
      // on the faithful path, which says so with its own frames.
      Value* uncomparable = nullptr;
      try {
        equal = values_equal(element, item, uncomparable);
      } catch (...) {
        return nullptr;
      }
      if (uncomparable) return nullptr;
    }
    if (equal) return constants.true_value;
  }
  return constants.false_value;
}

}  // namespace brevalon

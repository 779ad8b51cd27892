// map, filter and reduce as loops of the direct evaluator, standing for the prelude's recursions.
//
// Each of them recurses once per element, and calls its function on the element with every
// earlier level's frames pending (eight per level for map, twelve or fourteen for filter, six for
// reduce's helper). The direct evaluator keeps one record for all of them (DirectRecord::Kind::
// map_walk, filter_walk, reduce_walk), counted as those frames, and calls the function through the
// prelude's own form, (f (car lst)), (f head) or (f acc (car lst)), in a fresh scope of the level
// made as the prelude would make it; the results are put together once the end is reached.
// Between two elements it goes on natively only while no start-up binding has changed, the
// level's scopes are as the call left them, the function gave filter a boolean, the rest of the
// list is a cell or nil and the next level's frames fit well below the limit. Otherwise it hands
// on: the record becomes the frames of every level, in the states the prelude's text would have
// them, and the last value goes to the frame awaiting it. A call that would not reach its function
// (a list that is not a cell, reduce of one element) or starts near the limit takes the prelude's
// path from the start. Off in the faithful build.
#pragma once
#include <cstdint>
#include <vector>

#include "values/value.h"

namespace brevalon {

class Interpreter;
struct DirectRecord;
struct Environment;
struct LispFunc;
struct Name;
struct Runtime;

// What map's text holds, found after start-up; `map` is null when its text is not as expected.
struct MapText {
  LispFunc* map = nullptr;
  Value* map_function = nullptr;  // the function the global map names, which the recursion calls
  Value* if_function = nullptr;
  Value* cons_function = nullptr;
  Value* if_form = nullptr;         // (if (= lst nil) nil (cons ...))
  Value* cons_form = nullptr;       // (cons (f (car lst)) (map f (cdr lst)))
  Value* element_call = nullptr;    // (f (car lst))
  Value* recursive_call = nullptr;  // (map f (cdr lst))
  const Name* function_parameter = nullptr;
  const Name* list_parameter = nullptr;
};

// What filter's text holds, found after start-up; `filter` is null when its text is not as
// expected. Its body, the let expanded: (if (= lst nil) nil ((fn (head) (set-symbol (quote head)
// (car lst)) (if (f head) (cons head (filter f (cdr lst))) (filter f (cdr lst)))) nil)).
struct FilterText {
  LispFunc* filter = nullptr;
  Value* filter_function = nullptr;
  Value* fn_function = nullptr;
  Value* if_function = nullptr;
  Value* cons_function = nullptr;
  Value* outer_if = nullptr;
  Value* let_call = nullptr;        // ((fn (head) ...) nil)
  Value* let_function = nullptr;    // (fn (head) ...)
  Value* let_body = nullptr;
  Value* inner_if = nullptr;        // (if (f head) ...)
  Value* element_call = nullptr;    // (f head)
  Value* cons_form = nullptr;       // (cons head (filter f (cdr lst)))
  Value* kept_recursion = nullptr;  // the (filter f (cdr lst)) inside cons
  Value* dropped_recursion = nullptr;
  const Name* function_parameter = nullptr;
  const Name* list_parameter = nullptr;
  const Name* element_parameter = nullptr;  // head
};

// What reduce's text and its helper's hold, found after start-up; `reduce` is null when either
// text is not as expected. reduce's body is (reduce-helper f (cdr lst) (car lst)), the helper's
// (if (= lst nil) acc (reduce-helper f (cdr lst) (f acc (car lst)))).
struct ReduceText {
  LispFunc* reduce = nullptr;
  LispFunc* helper = nullptr;
  Value* helper_function = nullptr;  // the function reduce-helper names in reduce's scope
  Value* if_function = nullptr;
  Value* first_call = nullptr;       // reduce's (reduce-helper f (cdr lst) (car lst))
  Value* if_form = nullptr;          // the helper's if
  Value* recursive_call = nullptr;   // (reduce-helper f (cdr lst) (f acc (car lst)))
  Value* element_call = nullptr;     // (f acc (car lst))
  const Name* function_parameter = nullptr;  // reduce's
  const Name* list_parameter = nullptr;
  const Name* helper_parameters[3] = {nullptr, nullptr, nullptr};
};

// Frames a map level stands for: the first level's below the element's call, and each later one's.
inline constexpr uint32_t map_first_level_frames = 6;
inline constexpr uint32_t map_level_frames = 8;

// Frames a filter level stands for below its element's call: the first level's, a later one's
// (its own and the recursion's call), and those of a level whose element was kept and awaits the
// rest.
inline constexpr uint32_t filter_first_level_frames = 10;
inline constexpr uint32_t filter_level_frames = 12;
inline constexpr uint32_t filter_kept_frames = 2;

// Frames reduce's own call of the helper stands for, and each level of the helper.
inline constexpr uint32_t reduce_first_frames = 3;
inline constexpr uint32_t reduce_level_frames = 6;

// After start-up: checks map's text and records where its parts are; true when it can be marked.
bool arm_map(Runtime& runtime, LispFunc* map);

// The scope of a level of map's recursion: map's parameters bound to `function` and `list`.
Environment* map_level_scope(Runtime& runtime, Value* function, Value* list);

// The records, in the direct evaluator's own kinds, of the frames a map_walk record stands for.
void expand_map_walk(Runtime& runtime, const DirectRecord& walk, std::vector<DirectRecord>& records);

// The same for filter.
bool arm_filter(Runtime& runtime, LispFunc* filter);
// The scopes of a level of filter: the call's, binding `function` and `list`, and inside it the
// let's, binding the element; the let's is returned.
Environment* filter_level_scope(Runtime& runtime, Value* function, Value* list);
void expand_filter_walk(Interpreter& interpreter, const DirectRecord& walk, std::vector<DirectRecord>& records);

// The same for reduce.
bool arm_reduce(Runtime& runtime, LispFunc* reduce);
// The scope of a level of the helper, binding `function`, `list` and `accumulated`.
Environment* reduce_level_scope(Runtime& runtime, Value* function, Value* list, Value* accumulated);
void expand_reduce_walk(Runtime& runtime, const DirectRecord& walk, std::vector<DirectRecord>& records);

}  // namespace brevalon

// map as a loop of the direct evaluator, standing for the prelude's recursion over the list.
//
// (map f lst) is the prelude's (if (= lst nil) nil (cons (f (car lst)) (map f (cdr lst)))): each
// element's call of f runs with every earlier level's frames pending, eight of them per level
// (six at the first). The direct evaluator keeps one record for all of them (DirectRecord::Kind::
// map_walk, counted as those frames) and calls f through the form (f (car lst)) in a fresh scope
// of the level, as the prelude would; the values come back in order and the list is made of them
// once the end is reached. Between two elements it goes on natively only while no start-up
// binding has changed, the level's scope is as the call left it, the rest of the list is a cell
// or nil and the next level's frames fit well below the limit; otherwise it hands on, and the
// record becomes the frames of every level, in the states the prelude's text would have them, with
// the last value handed to the level that awaits it. Off in the faithful build.
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

// Frames a map level stands for: the first level's below the element's call, and each later one's.
inline constexpr uint32_t map_first_level_frames = 6;
inline constexpr uint32_t map_level_frames = 8;

// Frames a filter level stands for below its element's call: the first level's, a later one's
// (its own and the recursion's call), and those of a level whose element was kept and awaits the
// rest.
inline constexpr uint32_t filter_first_level_frames = 10;
inline constexpr uint32_t filter_level_frames = 12;
inline constexpr uint32_t filter_kept_frames = 2;

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

}  // namespace brevalon

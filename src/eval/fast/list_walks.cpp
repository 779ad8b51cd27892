// map's text taken apart after start-up, and the frames of its levels rebuilt from a loop's record.
#include "eval/fast/list_walks.h"

#include "eval/eval_frames.h"
#include "eval/fast/direct.h"
#include "eval/resumable.h"
#include "eval/runtime.h"
#include "printer/printer.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/list.h"
#include "values/symbol.h"

namespace brevalon {
namespace {

// map's body as start-up leaves it; any other text leaves map unmarked.
constexpr const char* map_body_text = "((if (= lst nil) nil (cons (f (car lst)) (map f (cdr lst)))))";

Value* global_value(Runtime& runtime, const char* name) {
  NamedSymbol symbol(runtime.heap.names.intern(name));
  return runtime.global->lookup(&symbol);
}

}  // namespace

bool arm_map(Runtime& runtime, LispFunc* map) {
  MapText& text = runtime.fast_paths.map;
  if (map->parameters.size() != 2 || map->rest_parameter || represent(map->body) != map_body_text) return false;
  Value* function = global_value(runtime, "map");
  Value* if_function = global_value(runtime, "if");
  Value* cons_function = global_value(runtime, "cons");
  if (!function || function->kind != Kind::Function || as<Function>(function)->implementation != map ||
      !if_function || if_function->kind != Kind::Function ||
      as<Function>(if_function)->implementation != runtime.fast_paths.if_native || !cons_function ||
      cons_function->kind != Kind::Function)
    return false;
  auto parameter = map->parameters.begin();
  Value* function_parameter = *parameter;
  Value* list_parameter = *++parameter;
  if (function_parameter->kind != Kind::NamedSymbol || list_parameter->kind != Kind::NamedSymbol) return false;
  text.function_parameter = as<NamedSymbol>(function_parameter)->name;
  text.list_parameter = as<NamedSymbol>(list_parameter)->name;
  if (text.function_parameter->reserved() || text.list_parameter->reserved()) return false;
  text.if_form = element(map->body, 0);
  text.cons_form = element(text.if_form, 3);
  text.element_call = element(text.cons_form, 1);
  text.recursive_call = element(text.cons_form, 2);
  text.map_function = function;
  text.if_function = if_function;
  text.cons_function = cons_function;
  // Held for as long as a record may need them, whatever the program rebinds.
  runtime.permanent.push_back(function);
  runtime.permanent.push_back(if_function);
  runtime.permanent.push_back(cons_function);
  text.map = map;
  return true;
}

Environment* map_level_scope(Runtime& runtime, Value* function, Value* list) {
  const MapText& text = runtime.fast_paths.map;
  Environment* scope = make_environment(runtime.heap, text.map->closure);
  scope->bind_new(text.function_parameter, function);
  scope->bind_new(text.list_parameter, list);
  return scope;
}

// The walk's fields: environment the scope of its last level, a the function, b the list given
// to map, c the values of the levels before the last (a list, null when there are none), e the
// last level's list; `count` the last level's number.
void expand_map_walk(Runtime& runtime, const DirectRecord& walk, std::vector<DirectRecord>& records) {
  using Kind = DirectRecord::Kind;
  const MapText& text = runtime.fast_paths.map;
  Heap& heap = runtime.heap;
  Value* nil = heap.constants.nil;
  Value* function = walk.a;
  Value* list = walk.b;
  Value* values = walk.c ? walk.c : nil;
  Value* argument_forms = cdr(text.cons_form);
  Environment* caller = nullptr;
  for (uint32_t level = 0; level <= walk.count; ++level) {
    Environment* scope = level == walk.count ? walk.environment : map_level_scope(runtime, function, list);
    // The recursion's EvalFrame and CallFrame, awaiting this level.
    if (level > 0) {
      Value* pair[] = {function, list};
      Value* arguments = make_list(heap, pair, 2);
      records.push_back({Kind::function_call, 0, 0, caller, text.recursive_call, text.map_function, arguments, nullptr, nullptr});
    }
    Value* body = text.map->body;
    records.push_back({Kind::exec, 0, 0, scope, body, cdr(body), nil, nullptr, nullptr});
    records.push_back({Kind::if_call, uint8_t(ResumableState::Phase::else_branch), 0, scope, text.if_form,
                       text.if_function, cdr(text.if_form), nullptr, nullptr});
    records.push_back({Kind::eval, uint8_t(EvalFrame::State::awaiting_arguments), 0, scope, text.cons_form,
                       text.cons_function, nullptr, nullptr, nullptr});
    if (level < walk.count) {
      // The element's value is in; the recursion is under way.
      Value* done = heap.make<Cell>(car(values), nil);
      values = cdr(values);
      records.push_back({Kind::eval_args, 0, 0, scope, argument_forms, nil, done, done, nullptr});
    } else {
      // The element's call is under way.
      records.push_back({Kind::eval_args, 0, 0, scope, argument_forms, cdr(argument_forms), nullptr, nullptr, nullptr});
    }
    caller = scope;
    list = cdr(list);
  }
}

}  // namespace brevalon

// The texts of map, filter and reduce taken apart after start-up, and their levels' frames rebuilt
// from a loop's record.
#include "eval/fast/list_walks.h"

#include "eval/eval_frames.h"
#include "eval/interpreter.h"
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
constexpr const char* reduce_body_text = "((reduce-helper f (cdr lst) (car lst)))";
constexpr const char* reduce_helper_body_text = "((if (= lst nil) acc (reduce-helper f (cdr lst) (f acc (car lst)))))";
constexpr const char* filter_body_text =
    "((if (= lst nil) nil ((fn (head) (set-symbol (quote head) (car lst)) (if (f head) (cons head (filter f "
    "(cdr lst))) (filter f (cdr lst)))) nil)))";

Value* global_value(Runtime& runtime, const char* name) {
  NamedSymbol symbol(runtime.heap.names.intern(name));
  return runtime.global->lookup(&symbol);
}

// A global function, or null.
Value* global_function(Runtime& runtime, const char* name) {
  Value* value = global_value(runtime, name);
  return value && value->kind == Kind::Function ? value : nullptr;
}

// The global function of that name when `implementation` is what it runs, or null.
Value* global_function_running(Runtime& runtime, const char* name, const Value* implementation) {
  Value* function = global_function(runtime, name);
  return function && as<Function>(function)->implementation == implementation ? function : nullptr;
}

// The names of a function's parameters, when they are exactly `count` distinct names that are not
// reserved.
bool parameter_names(LispFunc* function, size_t count, const Name** names) {
  if (function->parameters.size() != count || function->rest_parameter) return false;
  size_t i = 0;
  for (Value* parameter : function->parameters) {
    if (parameter->kind != Kind::NamedSymbol || as<NamedSymbol>(parameter)->name->reserved()) return false;
    names[i] = as<NamedSymbol>(parameter)->name;
    for (size_t j = 0; j < i; ++j)
      if (names[j] == names[i]) return false;
    ++i;
  }
  return true;
}

// A scope inside `parent` binding each name to its value, as a call binds its parameters.
template <size_t count>
Environment* scope_binding(Heap& heap, Environment* parent, const Binding (&bindings)[count]) {
  Environment* scope = make_environment(heap, parent, Environment::room_for(count));
  for (const Binding& binding : bindings) scope->bind_new(binding.name, binding.value);
  return scope;
}

// The records every level starts with: the ExecFrame of a body of one form, that form under way,
// and the if that form is, past its test and in its else branch.
void push_level_start(std::vector<DirectRecord>& records, Environment* scope, Value* body, Value* if_function, Value* nil) {
  Value* if_form = car(body);
  records.push_back({DirectRecord::Kind::exec, 0, 0, scope, body, cdr(body), nil, nullptr, nullptr});
  records.push_back({DirectRecord::Kind::if_call, uint8_t(ResumableState::Phase::else_branch), 0, scope, if_form,
                     if_function, cdr(if_form), nullptr, nullptr});
}

}  // namespace

bool arm_map(Runtime& runtime, LispFunc* map) {
  MapText& text = runtime.fast_paths.map;
  const Name* names[2];
  if (!parameter_names(map, 2, names) || represent(map->body) != map_body_text) return false;
  Value* function = global_function_running(runtime, "map", map);
  Value* if_function = global_function_running(runtime, "if", runtime.fast_paths.if_native);
  Value* cons_function = global_function(runtime, "cons");
  if (!function || !if_function || !cons_function) return false;
  text.function_parameter = names[0];
  text.list_parameter = names[1];
  text.if_form = element(map->body, 0);
  text.cons_form = element(text.if_form, 3);
  text.element_call = element(text.cons_form, 1);
  text.recursive_call = element(text.cons_form, 2);
  text.map_function = function;
  text.if_function = if_function;
  text.cons_function = cons_function;
  // Held for as long as a record may need them, whatever the program rebinds.
  runtime.permanent.insert(runtime.permanent.end(), {function, if_function, cons_function});
  text.map = map;
  return true;
}

Environment* map_level_scope(Runtime& runtime, Value* function, Value* list) {
  const MapText& text = runtime.fast_paths.map;
  return scope_binding(runtime.heap, text.map->closure, {{text.function_parameter, function}, {text.list_parameter, list}});
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
    push_level_start(records, scope, text.map->body, text.if_function, nil);
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

bool arm_filter(Runtime& runtime, LispFunc* filter) {
  FilterText& text = runtime.fast_paths.filter;
  const Name* names[2];
  if (!parameter_names(filter, 2, names) || represent(filter->body) != filter_body_text) return false;
  Value* function = global_function_running(runtime, "filter", filter);
  Value* fn_function = global_function(runtime, "fn");
  Value* if_function = global_function_running(runtime, "if", runtime.fast_paths.if_native);
  Value* cons_function = global_function(runtime, "cons");
  if (!function || !fn_function || as<Function>(fn_function)->implementation->kind != Kind::NativeFunc || !if_function ||
      !cons_function)
    return false;
  text.function_parameter = names[0];
  text.list_parameter = names[1];
  text.outer_if = element(filter->body, 0);
  text.let_call = element(text.outer_if, 3);
  text.let_function = element(text.let_call, 0);
  text.element_parameter = as<NamedSymbol>(element(element(text.let_function, 1), 0))->name;
  if (text.element_parameter->reserved() || text.element_parameter == names[0] || text.element_parameter == names[1])
    return false;
  text.let_body = cdr(cdr(text.let_function));
  text.inner_if = element(text.let_body, 1);
  text.element_call = element(text.inner_if, 1);
  text.cons_form = element(text.inner_if, 2);
  text.kept_recursion = element(text.cons_form, 2);
  text.dropped_recursion = element(text.inner_if, 3);
  text.filter_function = function;
  text.fn_function = fn_function;
  text.if_function = if_function;
  text.cons_function = cons_function;
  runtime.permanent.insert(runtime.permanent.end(), {function, fn_function, if_function, cons_function});
  text.filter = filter;
  return true;
}

Environment* filter_level_scope(Runtime& runtime, Value* function, Value* list) {
  const FilterText& text = runtime.fast_paths.filter;
  Environment* call_scope =
      scope_binding(runtime.heap, text.filter->closure, {{text.function_parameter, function}, {text.list_parameter, list}});
  return scope_binding(runtime.heap, call_scope, {{text.element_parameter, car(list)}});
}

// The walk's fields: environment the let's scope of its last level, a the function, b the list
// given to filter, c the lists whose first elements were kept, latest first (null when none was),
// e the last level's list; `count` the last level's number.
void expand_filter_walk(Interpreter& interpreter, const DirectRecord& walk, std::vector<DirectRecord>& records) {
  using Kind = DirectRecord::Kind;
  using Phase = ResumableState::Phase;
  Runtime& runtime = interpreter.runtime;
  const FilterText& text = runtime.fast_paths.filter;
  Heap& heap = runtime.heap;
  Value* nil = heap.constants.nil;
  NativeFunc* fn = as<NativeFunc>(as<Function>(text.fn_function)->implementation);
  std::vector<Value*> kept;
  for (Value* rest = walk.c ? walk.c : nil; rest != nil; rest = cdr(rest)) kept.push_back(car(rest));
  Value* function = walk.a;
  Value* list = walk.b;
  Environment* caller = nullptr;
  bool caller_kept = false;
  for (uint32_t level = 0; level <= walk.count; ++level) {
    bool last = level == walk.count;
    Environment* let_scope = last ? walk.environment : filter_level_scope(runtime, function, list);
    Environment* scope = let_scope->parent;
    if (level > 0) {
      Value* pair[] = {function, list};
      records.push_back({Kind::function_call, 0, 0, caller, caller_kept ? text.kept_recursion : text.dropped_recursion,
                         text.filter_function, make_list(heap, pair, 2), nullptr, nullptr});
    }
    push_level_start(records, scope, text.filter->body, text.if_function, nil);
    // The let's closure, made as fn makes it in the level's scope; nothing else holds it.
    Value* closure = fn->routine(interpreter, scope, cdr(text.let_function));
    Value* arguments = heap.make<Cell>(nil, nil);
    records.push_back({Kind::function_call, 0, 0, scope, text.let_call, closure, arguments, nullptr, nullptr});
    // The let's body is under way with its second form; the first, set-symbol, gave true.
    records.push_back({Kind::exec, 0, 0, let_scope, text.let_body, nil, heap.constants.true_value, nullptr, nullptr});
    bool is_kept = !last && !kept.empty() && kept.back() == list;
    if (is_kept) kept.pop_back();
    Phase phase = last ? Phase::condition : is_kept ? Phase::then_branch : Phase::else_branch;
    records.push_back({Kind::if_call, uint8_t(phase), 0, let_scope, text.inner_if, text.if_function, cdr(text.inner_if), nullptr, nullptr});
    if (is_kept) {
      // The element is in; the rest is under way.
      Value* done = heap.make<Cell>(car(list), nil);
      records.push_back({Kind::eval, uint8_t(EvalFrame::State::awaiting_arguments), 0, let_scope, text.cons_form,
                         text.cons_function, nullptr, nullptr, nullptr});
      records.push_back({Kind::eval_args, 0, 0, let_scope, cdr(text.cons_form), nil, done, done, nullptr});
    }
    caller = let_scope;
    caller_kept = is_kept;
    list = cdr(list);
  }
}

bool arm_reduce(Runtime& runtime, LispFunc* reduce) {
  ReduceText& text = runtime.fast_paths.reduce;
  const Name* names[2];
  if (!parameter_names(reduce, 2, names) || represent(reduce->body) != reduce_body_text || !reduce->closure) return false;
  NamedSymbol helper_name(runtime.heap.names.intern("reduce-helper"));
  Value* helper_function = reduce->closure->lookup(&helper_name);
  Value* if_function = global_function_running(runtime, "if", runtime.fast_paths.if_native);
  if (!helper_function || helper_function->kind != Kind::Function || as<Function>(helper_function)->exec_mode != mode_function ||
      as<Function>(helper_function)->implementation->kind != Kind::LispFunc || !if_function)
    return false;
  auto* helper = as<LispFunc>(as<Function>(helper_function)->implementation);
  if (!parameter_names(helper, 3, text.helper_parameters) || represent(helper->body) != reduce_helper_body_text ||
      helper->closure != reduce->closure)
    return false;
  text.function_parameter = names[0];
  text.list_parameter = names[1];
  text.first_call = element(reduce->body, 0);
  text.if_form = element(helper->body, 0);
  text.recursive_call = element(text.if_form, 3);
  text.element_call = element(text.recursive_call, 3);
  text.helper_function = helper_function;
  text.if_function = if_function;
  runtime.permanent.insert(runtime.permanent.end(), {helper_function, if_function});
  text.helper = helper;
  text.reduce = reduce;
  return true;
}

Environment* reduce_level_scope(Runtime& runtime, Value* function, Value* list, Value* accumulated) {
  const ReduceText& text = runtime.fast_paths.reduce;
  const Name* const* names = text.helper_parameters;
  return scope_binding(runtime.heap, text.helper->closure, {{names[0], function}, {names[1], list}, {names[2], accumulated}});
}

// The walk's fields: environment the scope of its last level, a the function, b the list given
// to reduce, c the values of the levels before the last, latest first (null when there are none),
// e the last level's list; `count` the last level's number.
void expand_reduce_walk(Runtime& runtime, const DirectRecord& walk, std::vector<DirectRecord>& records) {
  using Kind = DirectRecord::Kind;
  const ReduceText& text = runtime.fast_paths.reduce;
  Heap& heap = runtime.heap;
  Value* nil = heap.constants.nil;
  Value* function = walk.a;
  Value* given = walk.b;
  std::vector<Value*> values;
  for (Value* rest = walk.c ? walk.c : nil; rest != nil; rest = cdr(rest)) values.push_back(car(rest));
  // reduce's own scope and its call of the helper.
  Environment* scope = scope_binding(heap, text.reduce->closure, {{text.function_parameter, function}, {text.list_parameter, given}});
  Value* body = text.reduce->body;
  records.push_back({Kind::exec, 0, 0, scope, body, cdr(body), nil, nullptr, nullptr});
  Value* list = cdr(given);
  Value* accumulated = car(given);
  Value* first[] = {function, list, accumulated};
  records.push_back({Kind::function_call, 0, 0, scope, text.first_call, text.helper_function, make_list(heap, first, 3), nullptr, nullptr});
  Value* helper_body = text.helper->body;
  Value* argument_forms = cdr(text.recursive_call);
  for (uint32_t level = 0; level <= walk.count; ++level) {
    bool last = level == walk.count;
    Environment* level_scope = last ? walk.environment : reduce_level_scope(runtime, function, list, accumulated);
    push_level_start(records, level_scope, helper_body, text.if_function, nil);
    if (last) {
      // The function's call, the last argument of the recursion, is under way.
      Value* done[] = {function, cdr(list)};
      Value* head = make_list(heap, done, 2);
      records.push_back({Kind::eval, uint8_t(EvalFrame::State::awaiting_arguments), 0, level_scope, text.recursive_call,
                         text.helper_function, nullptr, nullptr, nullptr});
      records.push_back({Kind::eval_args, 0, 0, level_scope, argument_forms, nil, head, cdr(head), nullptr});
    } else {
      accumulated = values.back();
      values.pop_back();
      Value* arguments[] = {function, cdr(list), accumulated};
      records.push_back({Kind::function_call, 0, 0, level_scope, text.recursive_call, text.helper_function,
                         make_list(heap, arguments, 3), nullptr, nullptr});
      list = cdr(list);
    }
  }
}

}  // namespace brevalon

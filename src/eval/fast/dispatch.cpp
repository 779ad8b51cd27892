// Recognises the dispatcher's text in a generic and picks the method filter and match-types would pick.
#include "eval/fast/dispatch.h"

#include "eval/fast/dispatch_frame.h"
#include "eval/fast/dispatcher_text.h"
#include "eval/fast/subclass.h"
#include "eval/interpreter.h"
#include "values/class.h"
#include "values/dictionary.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/types.h"

namespace brevalon {
namespace {

// Every name the dispatcher's text reads: the generic's body, then filter, nth, match-types,
// is-list and is-instance, with what their bodies call.
constexpr const char* read_names[] = {
    "fn",   "set-symbol", "quote", "if",          "and",      "or",          "get-key",
    "list", "filter",     "nth",   "match-types", "is-list",  "is-instance", "is-subclass",
    "get-type", "error",  "=",     "car",         "cdr",      "cons",        "-",
    "nil",  "true",       "false", "cell",        "method-store"};

Value* global_value(Runtime& runtime, const Name* name) {
  NamedSymbol symbol(name);
  return runtime.global->lookup(&symbol);
}

void collect_names(Value* form, const Name* except, std::vector<const Name*>& names) {
  for (; form->kind == Kind::Cell; form = cdr(form)) collect_names(car(form), except, names);
  if (form->kind != Kind::NamedSymbol) return;
  const Name* name = as<NamedSymbol>(form)->name;
  if (name == except) return;
  for (const Name* known : names)
    if (known == name) return;
  names.push_back(name);
}

// Compares a body with the reference dispatcher's, where (head x) stands for (head parameters...)
// and the reference's key for any string, which becomes the generic's key.
struct ShapeMatch {
  const Name* reference_parameter;
  const Value* reference_key;
  const ParameterList& parameters;
  Value* nil;

  bool holds_parameters(Value* list) const {
    for (Value* parameter : parameters) {
      if (list->kind != Kind::Cell || !symbol_equal(car(list), parameter)) return false;
      list = cdr(list);
    }
    return list == nil;
  }

  bool same(Value* reference, Value* candidate) const {
    if (reference->kind == Kind::Cell) {
      if (candidate->kind != Kind::Cell) return false;
      Value* rest = cdr(reference);
      if (rest->kind == Kind::Cell && is_named(car(rest), reference_parameter) && cdr(rest) == nil)
        return same(car(reference), car(candidate)) && holds_parameters(cdr(candidate));
      return same(car(reference), car(candidate)) && same(cdr(reference), cdr(candidate));
    }
    if (reference == reference_key) return candidate->kind == Kind::String;
    if (reference->kind != candidate->kind) return false;
    switch (reference->kind) {
      case Kind::NamedSymbol:
        return as<NamedSymbol>(reference)->name == as<NamedSymbol>(candidate)->name;
      case Kind::String:
        return as<String>(reference)->text == as<String>(candidate)->text;
      case Kind::Integer:
        return as<Integer>(reference)->value == as<Integer>(candidate)->value;
      default:
        return reference == candidate;
    }
  }
};

// Bodies of other lengths never match (see ShapeMatch::same, which compares the lists' ends too):
// looked at first, since every let makes a closure whose shape its call asks for.
bool same_length(Value* reference, Value* candidate) {
  for (; reference->kind == Kind::Cell; reference = cdr(reference), candidate = cdr(candidate))
    if (candidate->kind != Kind::Cell) return false;
  return candidate->kind != Kind::Cell;
}

bool parameters_fit(const DispatchPaths& dispatch, const LispFunc* generic) {
  if (generic->rest_parameter) return false;
  const auto& parameters = generic->parameters;
  for (size_t i = 0; i < parameters.size(); ++i) {
    for (size_t j = 0; j < i; ++j)
      if (symbol_equal(parameters[i], parameters[j])) return false;
    if (parameters[i]->kind != Kind::NamedSymbol) continue;
    const Name* name = as<NamedSymbol>(parameters[i])->name;
    for (const Name* taken : dispatch.text_names)
      if (taken == name) return false;
  }
  return true;
}

// Every name the text reads must find its start-up value from the generic's closure; the scopes on
// that chain are watched from now on, so that a later change there is noticed.
bool closure_fits(Runtime& runtime, LispFunc* generic) {
  const DispatchPaths& dispatch = runtime.fast_paths.dispatch;
  for (const auto& [name, value] : dispatch.read_bindings) {
    NamedSymbol symbol(name);
    if (generic->closure->lookup(&symbol) != value) return false;
  }
  for (Environment* env = generic->closure; env; env = env->parent)
    if (!env->watch_counter()) env->watch(dispatch.counters);
  return true;
}

LispFunc::GenericShape shape_of(Runtime& runtime, LispFunc* generic) {
  const DispatchPaths& dispatch = runtime.fast_paths.dispatch;
  LispFunc* reference = dispatch.reference;
  if (!generic->closure || !same_length(reference->body, generic->body)) return LispFunc::GenericShape::other;
  ShapeMatch match{as<NamedSymbol>(reference->parameters[0])->name, reference->generic->key, generic->parameters,
                   runtime.heap.constants.nil};
  if (!match.same(reference->body, generic->body)) return LispFunc::GenericShape::other;
  if (!parameters_fit(dispatch, generic) || !closure_fits(runtime, generic)) return LispFunc::GenericShape::other;
  // A body can resemble the dispatcher's without its shape; only one with the key where the
  // dispatcher has it is walked as one.
  Value* key = dispatcher_key(generic->body);
  if (!key) return LispFunc::GenericShape::other;
  generic->become_generic(key);
  return LispFunc::GenericShape::dispatcher;
}

// match-types: unknown where it would raise an error (a parameter list or a typed parameter of
// another shape).
Answer match_types(const Runtime& runtime, Value* arguments, Value* parameters) {
  const Constants& constants = runtime.heap.constants;
  Value* nil = constants.nil;
  for (;; arguments = cdr(arguments), parameters = cdr(parameters)) {
    if (arguments == nil) return parameters == nil ? Answer::yes : Answer::no;
    if (parameters == nil) return Answer::no;
    if (parameters->kind != Kind::Cell) return Answer::unknown;
    Value* parameter = car(parameters);
    if (parameter == nil) return Answer::unknown;
    Answer is_list = subclass(constants.type_of(parameter), runtime.fast_paths.dispatch.cell_class, 0);
    if (is_list == Answer::unknown) return Answer::unknown;
    if (is_list == Answer::no) continue;
    if (parameter->kind != Kind::Cell || cdr(parameter)->kind != Kind::Cell) return Answer::unknown;
    Answer fits = subclass(constants.type_of(car(arguments)), car(cdr(parameter)), 0);
    if (fits != Answer::yes) return fits;
  }
}

// The method filter and match-types pick for `arguments`, with the count of methods looked at;
// null when none fits, when the pick is not a function the call frame can run itself (a native
// would see the dispatcher's scope), or when the dispatcher would raise an error on the way.
Value* pick_method(const Runtime& runtime, LispFunc* generic, Value* arguments, size_t& methods) {
  const DispatchPaths& dispatch = runtime.fast_paths.dispatch;
  Value* nil = runtime.heap.constants.nil;
  Value* definitions = dispatch.method_store->get(as<String>(generic->generic->key)->text);
  if (!definitions) return nullptr;
  Value* chosen = nullptr;
  methods = 0;
  for (Value* rest = definitions; rest != nil; rest = cdr(rest)) {
    if (rest->kind != Kind::Cell) return nullptr;
    ++methods;
    Value* definition = car(rest);
    if (definition->kind != Kind::Cell || cdr(definition)->kind != Kind::Cell) return nullptr;
    Answer answer = match_types(runtime, arguments, car(definition));
    if (answer == Answer::unknown) return nullptr;
    if (answer == Answer::yes && !chosen) chosen = car(cdr(definition));
  }
  if (!chosen || chosen->kind != Kind::Function || as<Function>(chosen)->exec_mode != mode_function ||
      as<Function>(chosen)->implementation->kind != Kind::LispFunc)
    return nullptr;
  return chosen;
}

// Deeper than the step-by-step dispatcher goes while it filters the methods.
size_t dispatch_depth_bound(size_t methods, size_t arguments) { return 1000 + 64 * (methods + arguments); }

}  // namespace

void arm_dispatch(Runtime& runtime, uint64_t* counters) {
  DispatchPaths& dispatch = runtime.fast_paths.dispatch;
  Names& names = runtime.heap.names;
  dispatch.counters = counters;
  for (const char* text : read_names) {
    const Name* name = names.intern(text);
    name->watch_groups |= watch_dispatch;
    dispatch.read_bindings.emplace_back(name, global_value(runtime, name));
  }
  Value* store = global_value(runtime, names.intern("method-store"));
  Value* to_string = global_value(runtime, names.intern("to-string"));
  Value* if_function = global_value(runtime, names.intern("if"));
  if (!store || store->kind != Kind::Hashtable || !to_string || to_string->kind != Kind::Function) return;
  if (!if_function || if_function->kind != Kind::Function ||
      as<Function>(if_function)->implementation->kind != Kind::ResumableNative)
    return;
  Value* impl = as<Function>(to_string)->implementation;
  if (impl->kind != Kind::LispFunc) return;
  auto* reference = as<LispFunc>(impl);
  if (reference->parameters.size() != 1 || reference->parameters[0]->kind != Kind::NamedSymbol) return;
  Value* key = dispatcher_key(reference->body);
  if (!key) return;
  reference->become_generic(key);
  reference->generic_shape = LispFunc::GenericShape::dispatcher;
  dispatch.method_store = as<Hashtable>(store);
  dispatch.cell_class = global_value(runtime, names.intern("cell"));
  dispatch.if_function = if_function;
  for (const auto& [name, value] : dispatch.read_bindings) dispatch.text_names.push_back(name);
  collect_names(reference->body, as<NamedSymbol>(reference->parameters[0])->name, dispatch.text_names);
  dispatch.reference = reference;
  // Every generic's body is compared with this one's, also after a program rebinds to-string.
  runtime.permanent.push_back(reference);
}

bool may_dispatch_natively(Runtime& runtime, LispFunc* function) {
  if (function->generic_shape == LispFunc::GenericShape::other || !runtime.fast_paths.dispatch.intact()) return false;
  if (function->generic_shape == LispFunc::GenericShape::unknown) function->generic_shape = shape_of(runtime, function);
  return function->generic_shape == LispFunc::GenericShape::dispatcher;
}

Value* choose_native_dispatch(Runtime& runtime, LispFunc* generic, Value* arguments, Value*& method) {
  const DispatchPaths& dispatch = runtime.fast_paths.dispatch;
  if (generic->generic_shape == LispFunc::GenericShape::other || !dispatch.intact()) return nullptr;
  if (generic->generic_shape == LispFunc::GenericShape::unknown) {
    generic->generic_shape = shape_of(runtime, generic);
    if (generic->generic_shape != LispFunc::GenericShape::dispatcher) return nullptr;
  }
  Heap& heap = runtime.heap;
  size_t count = 0;
  for (Value* rest = arguments; rest->kind == Kind::Cell; rest = cdr(rest)) ++count;
  if (count != generic->parameters.size()) return nullptr;

  // One or two arguments: the pick of the last call holds while their types and method-store do.
  const Constants& constants = heap.constants;
  Value* types[2] = {nullptr, nullptr};
  bool remembered = count == 1 || count == 2;
  if (remembered) {
    types[0] = constants.type_of(car(arguments));
    if (count == 2) types[1] = constants.type_of(car(cdr(arguments)));
  }
  Value* chosen;
  size_t methods;
  LispFunc::Generic& last = *generic->generic;
  if (remembered && last.method && last.version == dispatch.method_store->version && last.types[0] == types[0] &&
      last.types[1] == types[1]) {
    chosen = last.method;
    methods = last.methods;
  } else {
    chosen = pick_method(runtime, generic, arguments, methods);
    if (!chosen) return nullptr;
    if (remembered) {
      last.types[0] = types[0];
      last.types[1] = types[1];
      last.method = chosen;
      last.version = dispatch.method_store->version;
      last.methods = static_cast<uint32_t>(methods);
    }
  }
  if (runtime.frame_count + dispatch_depth_bound(methods, count) > Runtime::max_frames) return nullptr;

  // The dispatcher's call (f parameters...) hands the method a new list.
  ListBuilder copy;
  for (Value* rest = arguments; rest->kind == Kind::Cell; rest = cdr(rest)) copy.append(heap, car(rest));
  method = chosen;
  return copy.finish(heap);
}

bool start_native_dispatch(Interpreter& interpreter, LispFunc* generic, Value* arguments) {
  Value* method = nullptr;
  Value* copy = choose_native_dispatch(interpreter.runtime, generic, arguments, method);
  if (!copy) return false;
  interpreter.push(new (interpreter.heap.frame_pools) DispatchFrame(interpreter.runtime, generic, method, copy));
  return true;
}

}  // namespace brevalon

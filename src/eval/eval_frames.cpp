// Evaluation: symbols are looked up, atoms are themselves, list forms are calls by execution mode.
#include "eval/eval_frames.h"

#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/fast/direct.h"
#include "eval/fast/prelude_lists.h"
#include "eval/fast/quick_calls.h"
#include "eval/fast_paths.h"
#include "eval/interpreter.h"
#include "eval/native_frames.h"
#include "printer/printer.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/types.h"

namespace brevalon {

// ---- EvalFrame

Value* evaluate_atom_arguments(Heap& heap, Environment* environment, Value* forms) {
  Value* nil = heap.constants.nil;
  Value* head = nil;
  Cell* tail = nullptr;
  Value* rest = forms;
  for (; rest->kind == Kind::Cell; rest = cdr(rest)) {
    Value* form = car(rest);
    Value* value;
    if (form->kind == Kind::Cell || !evaluate_atom(environment, form, value)) return nullptr;
    Cell* cell = heap.make<Cell>(value, nil);
    if (tail) tail->cdr = cell;
    else head = cell;
    tail = cell;
  }
  return rest == nil ? head : nullptr;
}

void undefined_symbol(Value* symbol) { lisp_error("Symbol " + symbol_name(symbol) + " is undefined"); }

void macro_reached(Value* expression) { internal_error("a macro was reached during evaluation: " + brief(expression)); }

void not_callable(Heap& heap, Value* callee, Value* expression) {
  if (heap.constants.type_of(callee)->kind == Kind::Class)
    lisp_error("Error: trying to call non-callable object\n       at " + represent(expression));
  lisp_error("Error: trying to call non-callable value " + represent(callee) + " (" +
             as<Type>(heap.constants.type_of(callee))->name + ")\n       at " + represent(expression));
}

bool EvalFrame::next_step(Interpreter& interpreter) {
  switch (state) {
    case State::start: {
      if (expression->kind != Kind::Cell) {
        if (evaluate_atom(environment, expression, result)) return true;
        undefined_symbol(expression);
      }
      if constexpr (fast_paths_built) {
        if (interpreter.runtime.direct.has_room()) return evaluate_directly(interpreter, *this);
      }
      state = State::callee_known;
      Value* head = car(expression);
      // A head that is an atom needs no frame of its own; an unbound one still fails in a child frame.
      if (head->kind == Kind::Cell || !evaluate_atom(environment, head, callee)) {
        interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, head));
        return false;
      }
      // The faithful machine takes a step of its own to look at the callee; nothing happens between.
      if (!fast_paths_built) return false;
      [[fallthrough]];
    }
    case State::callee_known: {
      if (callee->kind == Kind::Function) {
        if constexpr (fast_paths_built) {
          if ((result = quick_call(interpreter.runtime, environment, callee, cdr(expression)))) {
            state = State::finished;
            return true;
          }
        }
        switch (as<Function>(callee)->exec_mode) {
          case mode_function:
            if ((arguments = evaluate_atom_arguments(interpreter.heap, environment, cdr(expression)))) break;
            state = State::awaiting_arguments;
            interpreter.push(new (interpreter.heap.frame_pools) EvalArgsFrame(interpreter.heap, environment, cdr(expression)));
            return false;
          case mode_no_eval:
          case mode_no_expand:
            arguments = cdr(expression);
            break;
          default:
            macro_reached(expression);
        }
        state = State::calling;
        interpreter.push(new (interpreter.heap.frame_pools) CallFrame(callee, arguments, expression, environment));
        return false;
      }
      not_callable(interpreter.heap, callee, expression);
    }
    case State::calling:
      // The arguments have just arrived from their own frame.
      interpreter.push(new (interpreter.heap.frame_pools) CallFrame(callee, arguments, expression, environment));
      return false;
    case State::awaiting_arguments:
    case State::finished:
      break;
  }
  return true;
}

void EvalFrame::resume(Value* value) {
  switch (state) {
    case State::callee_known:
      callee = value;
      break;
    case State::awaiting_arguments:
      arguments = value;
      state = State::calling;
      break;
    case State::calling:
      result = value;
      state = State::finished;
      break;
    case State::start:
    case State::finished:
      break;
  }
}

std::string EvalFrame::display() { return "EvalFrame: " + represent(expression); }

void EvalFrame::visit_edges(Visitor& visit) {
  visit(environment);
  visit(expression);
  visit(callee);
  visit(arguments);
}

// ---- EvalArgsFrame

bool EvalArgsFrame::next_step(Interpreter& interpreter) {
  while (remaining->kind == Kind::Cell) {
    Value* form = car(remaining);
    remaining = cdr(remaining);
    Value* value;
    if (form->kind != Kind::Cell && evaluate_atom(environment, form, value)) {
      values.append(interpreter.heap, value);
      continue;
    }
    interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, form));
    return false;
  }
  if (remaining != interpreter.heap.constants.nil) improper_argument_forms(argument_forms);
  return true;
}

void EvalArgsFrame::resume(Value* value) { values.append(heap, value); }

std::string EvalArgsFrame::display() { return "EvalArgsFrame: " + represent(argument_forms); }

void EvalArgsFrame::visit_edges(Visitor& visit) {
  visit(environment);
  visit(argument_forms);
  visit(remaining);
  values.visit_edges(visit);
}

// ---- CallFrame

void improper_argument_forms(Value* forms) { internal_error("argument forms do not end in nil: " + brief(forms)); }

namespace {

[[noreturn]] void wrong_count(Value* call_form, size_t expected, size_t got, bool at_least) {
  internal_error("function called with " + std::to_string(got) + " argument" + (got == 1 ? "" : "s") +
                 " but it takes " + (at_least ? "at least " : "") + std::to_string(expected) + ": " + brief(call_form));
}

}  // namespace

LispFunc::ParameterShape shape_of_parameters(const LispFunc* lisp) {
  using Shape = LispFunc::ParameterShape;
  if (lisp->rest_parameter) return Shape::other;
  for (size_t i = 0; i < lisp->parameters.size(); ++i) {
    Value* parameter = lisp->parameters[i];
    if (parameter->kind != Kind::NamedSymbol) return Shape::other;
    const Name* name = as<NamedSymbol>(parameter)->name;
    if (name->reserved()) return Shape::other;
    for (size_t j = 0; j < i; ++j)
      if (as<NamedSymbol>(lisp->parameters[j])->name == name) return Shape::other;
  }
  return Shape::distinct_names;
}

Environment* bind_parameters(Heap& heap, LispFunc* lisp, Value* arguments, Value* call_form) {
  Environment* scope = make_environment(heap, lisp->closure, Environment::room_for(lisp->binding_count()));
  if (lisp->parameter_shape == LispFunc::ParameterShape::unknown) lisp->parameter_shape = shape_of_parameters(lisp);
  bool distinct = lisp->parameter_shape == LispFunc::ParameterShape::distinct_names;
  Value* rest = arguments;
  size_t count = 0;
  for (Value* parameter : lisp->parameters) {
    if (rest->kind != Kind::Cell) break;
    if (distinct) scope->bind_new(as<NamedSymbol>(parameter)->name, car(rest));
    else scope->bind(parameter, car(rest));
    rest = cdr(rest);
    ++count;
  }
  if (count < lisp->parameters.size()) {
    size_t total = count;
    for (Value* r = rest; r->kind == Kind::Cell; r = cdr(r)) ++total;
    wrong_count(call_form, lisp->parameters.size(), total, lisp->rest_parameter != nullptr);
  }
  if (lisp->rest_parameter) {
    scope->bind(lisp->rest_parameter, rest);
  } else if (rest != heap.constants.nil) {
    size_t total = count;
    for (Value* r = rest; r->kind == Kind::Cell; r = cdr(r)) ++total;
    wrong_count(call_form, lisp->parameters.size(), total, false);
  }
  return scope;
}

void check_call(Heap& heap, Value* callee, Value* arguments) {
  if (callee->kind != Kind::Function) internal_error("cannot call " + brief(callee) + ": it is not a function");
  if (!is_proper_list(heap, arguments)) internal_error("the argument list of a call is not a proper list");
}

bool CallFrame::next_step(Interpreter& interpreter) {
  if (state == State::awaiting_result) return true;
  check_call(interpreter.heap, callee, arguments);
  state = State::awaiting_result;
  if (callee == interpreter.runtime.fast_paths.plus && interpreter.runtime.fast_paths.plus_intact()) {
    if (Value* sum = fast_plus(interpreter.runtime, arguments)) {
      result = sum;
      return true;
    }
  }
  Value* impl = as<Function>(callee)->implementation;
  switch (impl->kind) {
    case Kind::LispFunc: {
      auto* lisp = as<LispFunc>(impl);
      // A prelude list function may be computed, or a generic's method picked, natively;
      // otherwise the body runs step by step.
      if constexpr (fast_paths_built) {
        if (lisp->prelude_role) {
          if (Value* value = native_prelude_call(interpreter.runtime, lisp, arguments)) {
            result = value;
            return true;
          }
        }
        if (start_native_dispatch(interpreter, lisp, arguments)) return false;
      }
      Environment* scope = bind_parameters(interpreter.heap, lisp, arguments, call_form);
      interpreter.push(new (interpreter.heap.frame_pools) ExecFrame(lisp->body, scope, interpreter.heap.constants.nil));
      return false;
    }
    case Kind::NativeFunc:
      if (fast_paths_built && interpreter.runtime.frame_count < Runtime::max_frames)
        return call_native_in_place(interpreter, as<NativeFunc>(impl));
      interpreter.push(new (interpreter.heap.frame_pools) NativeCallFrame(as<NativeFunc>(impl), arguments, environment));
      return false;
    default:
      interpreter.push(new (interpreter.heap.frame_pools) ResumableNativeCallFrame(as<ResumableNative>(impl), arguments, environment));
      return false;
  }
}

// A native routine never pushes, so its frame would live for exactly one step. The routine runs
// here with its frame counted as pending (a nested run sees the same frame limit); when it fails,
// the frame is pushed after all, so the trace shows every line it would have shown.
bool CallFrame::call_native_in_place(Interpreter& interpreter, NativeFunc* native) {
  ++interpreter.runtime.frame_count;
  try {
    result = native->routine(interpreter, environment, arguments);
  } catch (...) {
    --interpreter.runtime.frame_count;
    interpreter.push(new (interpreter.heap.frame_pools) NativeCallFrame(native, arguments, environment));
    throw;
  }
  --interpreter.runtime.frame_count;
  return true;
}

std::string CallFrame::display() { return "CallFrame: " + represent(call_form); }

void CallFrame::visit_edges(Visitor& visit) {
  visit(callee);
  visit(arguments);
  visit(call_form);
  visit(environment);
}

// ---- ExecFrame

bool ExecFrame::next_step(Interpreter& interpreter) {
  while (next_form->kind == Kind::Cell) {
    Value* form = car(next_form);
    next_form = cdr(next_form);
    if (form->kind != Kind::Cell && evaluate_atom(environment, form, result)) continue;
    interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, form));
    return false;
  }
  return true;
}

std::string ExecFrame::display() { return "ExecFrame: " + represent(body_list); }

void ExecFrame::visit_edges(Visitor& visit) {
  visit(body_list);
  visit(next_form);
  visit(environment);
  visit(result);
}

}  // namespace brevalon

// The evaluation frames: one expression, an argument list, a call, and a function body.
#pragma once
#include "eval/frame.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/list.h"
#include "values/symbol.h"

namespace brevalon {

class Heap;

struct EvalFrame final : Frame, Pooled<EvalFrame> {
  EvalFrame(Environment* env, Value* expr) : environment(env), expression(expr) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override;
  Value* finish() override { return result; }
  std::string display() override;
  Value* source_form() override { return expression; }
  void visit_edges(Visitor& visit) override;

  // Awaiting the head's value, then the arguments' values, then the call's result.
  enum class State : uint8_t { start, callee_known, awaiting_arguments, calling, finished };

  Environment* environment;
  Value* expression;
  State state = State::start;
  Value* callee = nullptr;
  // The arguments are the call's until it returns; the result arrives only then, so the two share a
  // word, which a deep recursion pays for once per pending level.
  union {
    Value* arguments = nullptr;
    Value* result;
  };
};

struct EvalArgsFrame final : Frame, Pooled<EvalArgsFrame> {
  EvalArgsFrame(Heap& h, Environment* env, Value* forms)
      : heap(h), environment(env), argument_forms(forms), remaining(forms) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override;
  Value* finish() override { return values.finish(heap); }
  std::string display() override;
  void visit_edges(Visitor& visit) override;

  Heap& heap;
  Environment* environment;
  Value* argument_forms;
  Value* remaining;
  ListBuilder values;
};

struct CallFrame final : Frame, Pooled<CallFrame> {
  CallFrame(Value* f, Value* args, Value* form, Environment* env)
      : callee(f), arguments(args), call_form(form), environment(env) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override { result = value; }
  Value* finish() override { return result; }
  std::string display() override;
  Value* source_form() override { return call_form; }
  void visit_edges(Visitor& visit) override;

  Value* callee;
  // As in EvalFrame: the arguments are read until the call returns and the result is written only
  // then, the step before the frame is popped, so the two share a word.
  union {
    Value* arguments;
    Value* result;
  };
  Value* call_form;
  enum class State : uint8_t { start, awaiting_result };

  Environment* environment;
  State state = State::start;

 private:
  bool call_native_in_place(Interpreter& interpreter, NativeFunc* native);
};

struct ExecFrame final : Frame, Pooled<ExecFrame> {
  // The body is a proper list of forms; `lisp` keeps the vector alive when it came from a function.
  // An empty body gives nil.
  ExecFrame(Value* body_forms, Environment* env, Value* nil)
      : body_list(body_forms), next_form(body_forms), environment(env), result(nil) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override { result = value; }
  Value* finish() override { return result; }
  std::string display() override;
  void visit_edges(Visitor& visit) override;

  Value* body_list;
  Value* next_form;  // the body forms not yet started
  Environment* environment;
  Value* result;
};

// Evaluates a symbol or an atom without a frame; false when a symbol is unbound.
inline bool evaluate_atom(Environment* environment, Value* expression, Value*& result) {
  result = is_symbol(expression) ? environment->lookup(expression) : expression;
  return result != nullptr;
}

// The same from a scope of the run whose global scope is `global` (every scope of a run descends
// from it): a name no other scope has ever bound is found there without walking the chain.
inline bool evaluate_atom(Environment* global, Environment* environment, Value* expression, Value*& result) {
  result = is_symbol(expression) ? environment->lookup(expression, global) : expression;
  return result != nullptr;
}

// The same with the kind looked at once, a named symbol first, for the fast paths' look-ups of
// call heads and operands, which are mostly names. (evaluate_atom itself stays as it is: its
// callers in the direct evaluator's recursion would take more machine stack.)
inline bool evaluate_atom_named_first(Environment* global, Environment* environment, Value* atom, Value*& result) {
  if (atom->kind == Kind::NamedSymbol) [[likely]]
    result = environment->lookup_named(static_cast<NamedSymbol*>(atom)->name, global);
  else
    result = atom->kind == Kind::NumSymbol ? environment->lookup(atom) : atom;
  return result != nullptr;
}

// The steps of evaluation that the direct evaluator shares with these frames.

// Argument forms that are all atoms, all bound, are evaluated in place into a new list, saving a
// frame; null for any other case (a list form, an unbound symbol that must fail in its own frame).
Value* evaluate_atom_arguments(Heap& heap, Environment* environment, Value* forms);
[[noreturn]] void undefined_symbol(Value* symbol);
// Macros are expanded before evaluation starts; one reached here is a broken rule.
[[noreturn]] void macro_reached(Value* expression);
// The error for calling a value that is not a function.
[[noreturn]] void not_callable(Heap& heap, Value* callee, Value* expression);
[[noreturn]] void improper_argument_forms(Value* forms);
// What a call checks before it starts: a function and a proper argument list.
void check_call(Heap& heap, Value* callee, Value* arguments);
// A new scope of the function's closure with the parameters bound; a wrong count fails naming the call.
Environment* bind_parameters(Heap& heap, LispFunc* lisp, Value* arguments, Value* call_form);
// Whether a function's parameters are distinct names its new scope binds without a search.
LispFunc::ParameterShape shape_of_parameters(const LispFunc* lisp);

}  // namespace brevalon

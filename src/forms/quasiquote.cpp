// Quasiquotation: every level of a template is its own resumable-native call on the frame stack.
#include "forms/quasiquote.h"

#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/eval_frames.h"
#include "eval/interpreter.h"
#include "eval/native_frames.h"
#include "printer/printer.h"
#include "values/names.h"

namespace brevalon {

namespace {

bool is_marked(Value* form, const Name* mark) { return form->kind == Kind::Cell && is_named(car(form), mark); }
bool is_unquote(Heap& heap, Value* form) { return is_marked(form, heap.names.unquote); }
bool is_unquote_splicing(Heap& heap, Value* form) { return is_marked(form, heap.names.unquote_splicing); }

// The marked expression: the second element of the form.
Value* marked_expression(Value* form, const char* name) {
  Value* rest = cdr(form);
  if (rest->kind != Kind::Cell) internal_error(std::string(name) + " form holds no expression: " + brief(form));
  return car(rest);
}

// unquote and unquote-splicing: evaluate the marked expression of the one form they receive.
struct UnquoteState final : ResumableState, Pooled<UnquoteState> {
  void init(Interpreter& interpreter, Environment* environment, Value* arguments) override {
    Value* form = car(arguments);
    interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, marked_expression(form, "unquote")));
  }
  bool next_step(Interpreter&) override { return true; }
  void resume(Value* value) override { result_value = value; }
  Value* result(Heap&) override { return result_value; }
  void visit_edges(Visitor& visit) override { visit(result_value); }
  Value* result_value = nullptr;
};


struct QuasiquoteState final : ResumableState, Pooled<QuasiquoteState> {
  enum class State : uint8_t { start, waiting_for_root, processing, waiting_for_element, waiting_for_splice, finished };

  void init(Interpreter& interpreter, Environment* env, Value* arguments) override {
    template_rest = Arguments("quasiquote", arguments).at(0);
    environment = env;
    heap = &interpreter.heap;
  }

  bool next_step(Interpreter& interpreter) override {
    switch (state) {
      case State::start:
        if (!is_proper_list(*heap, template_rest)) {
          result_value = template_rest;
          return true;
        }
        if (is_unquote(*heap, template_rest)) {
          marked_expression(template_rest, "unquote");
          push_auxiliary(interpreter, interpreter.runtime.quasiquote.unquote, template_rest);
          state = State::waiting_for_root;
          return false;
        }
        if (is_unquote_splicing(*heap, template_rest))
          lisp_error("Syntax Error: Trying to flatten at the root of a quasiquote: " + represent(template_rest));
        state = State::processing;
        return process_next_element(interpreter);
      case State::processing:
        return process_next_element(interpreter);
      case State::waiting_for_root:
      case State::waiting_for_element:
      case State::waiting_for_splice:
      case State::finished:
        break;
    }
    return true;
  }

  // Starts the next element of the template, or finishes the list once none is left.
  bool process_next_element(Interpreter& interpreter) {
    if (template_rest->kind != Kind::Cell) {
      result_value = collected.finish(*heap);
      return true;
    }
    Value* element = car(template_rest);
    template_rest = cdr(template_rest);
    if (is_unquote(*heap, element)) {
      marked_expression(element, "unquote");
      push_auxiliary(interpreter, interpreter.runtime.quasiquote.unquote, element);
      state = State::waiting_for_element;
    } else if (is_unquote_splicing(*heap, element)) {
      marked_expression(element, "unquote-splicing");
      push_auxiliary(interpreter, interpreter.runtime.quasiquote.unquote_splicing, element);
      state = State::waiting_for_splice;
    } else {
      push_auxiliary(interpreter, interpreter.runtime.quasiquote.nested, element);
      state = State::waiting_for_element;
    }
    return false;
  }

  void resume(Value* value) override {
    switch (state) {
      case State::waiting_for_root:
        result_value = value;
        state = State::finished;
        break;
      case State::waiting_for_element:
        collected.append(*heap, value);
        state = State::processing;
        break;
      case State::waiting_for_splice:
        if (!is_proper_list(*heap, value)) internal_error("unquote-splicing expects a list to splice, got " + brief(value));
        for (Value* rest = value; rest->kind == Kind::Cell; rest = cdr(rest)) collected.append(*heap, car(rest));
        state = State::processing;
        break;
      case State::start:
      case State::processing:
      case State::finished:
        break;
    }
  }

  Value* result(Heap&) override { return result_value; }

  void visit_edges(Visitor& visit) override {
    visit(template_rest);
    visit(environment);
    collected.visit_edges(visit);
    visit(result_value);
  }

  void push_auxiliary(Interpreter& interpreter, ResumableNative* native, Value* form) {
    interpreter.push(new (interpreter.heap.frame_pools) ResumableNativeCallFrame(native, interpreter.heap.make<Cell>(form, interpreter.heap.constants.nil), environment));
  }

  Value* template_rest = nullptr;
  Environment* environment = nullptr;
  Heap* heap = nullptr;
  ListBuilder collected;
  Value* result_value = nullptr;
  State state = State::start;
};

}  // namespace

ResumableState* make_quasiquote_state(FramePools& pools) { return make_state<QuasiquoteState>(pools); }

void make_quasiquote_auxiliaries(Runtime& runtime) {
  Heap& heap = runtime.heap;
  QuasiquoteNatives& natives = runtime.quasiquote;
  natives.unquote = heap.make<ResumableNative>("unquote", make_state<UnquoteState>);
  natives.unquote_splicing = heap.make<ResumableNative>("unquote-splicing", make_state<UnquoteState>);
  natives.nested = heap.make<ResumableNative>("quasiquote", make_quasiquote_state);
  runtime.permanent.push_back(natives.unquote);
  runtime.permanent.push_back(natives.unquote_splicing);
  runtime.permanent.push_back(natives.nested);
}

}  // namespace brevalon

// The for loop: calls an iterator until it returns nil, running the body in a fresh scope per element.
#include "forms/iteration.h"

#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/eval_frames.h"
#include "eval/interpreter.h"
#include "printer/printer.h"

namespace brevalon {

namespace {

struct ForState final : ResumableState, Pooled<ForState> {
  enum class State : uint8_t { waiting_for_iterator, call_iterator, waiting_for_element, run_body, waiting_for_body, finished };

  void init(Interpreter& interpreter, Environment* env, Value* arguments) override {
    take(interpreter.heap, env, arguments);
    interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, car(cdr(arguments))));
    state = State::waiting_for_iterator;
  }
  void restore(Heap& h, Environment* env, Value* arguments, Phase phase, Value* iterator_function,
               Value* scope, Value* last) override {
    take(h, env, arguments);
    iterator = iterator_function;
    iteration_environment = scope ? as<Environment>(scope) : nullptr;
    result_value = last;
    state = phase == Phase::iterator  ? State::waiting_for_iterator
            : phase == Phase::element ? State::waiting_for_element
                                      : State::waiting_for_body;
  }
  void take(Heap& h, Environment* env, Value* arguments) {
    Arguments args("for", arguments);
    args.require(2);
    heap = &h;
    result_value = heap->constants.nil;
    variable = args.symbol(0);
    body = cdr(cdr(arguments));
    environment = env;
  }
  bool next_step(Interpreter& interpreter) override {
    switch (state) {
      case State::call_iterator:
        // The call form exists only for traces: a one-element list holding the variable.
        interpreter.push(new (interpreter.heap.frame_pools) CallFrame(iterator, heap->constants.nil, heap->make<Cell>(variable, heap->constants.nil), environment));
        state = State::waiting_for_element;
        return false;
      case State::run_body:
        interpreter.push(new (interpreter.heap.frame_pools) ExecFrame(body, iteration_environment, heap->constants.nil));
        state = State::waiting_for_body;
        return false;
      case State::waiting_for_iterator:
      case State::waiting_for_element:
      case State::waiting_for_body:
      case State::finished:
        break;
    }
    return true;
  }
  void resume(Value* value) override {
    switch (state) {
      case State::waiting_for_iterator:
        iterator = value;
        state = State::call_iterator;
        break;
      case State::waiting_for_element:
        if (value == heap->constants.nil) {
          state = State::finished;
        } else if (value->kind == Kind::Cell) {
          iteration_environment = make_environment(*heap, environment, Environment::room_for(1));
          iteration_environment->bind(variable, car(value));
          state = State::run_body;
        } else {
          lisp_error("Iteration Error: the generator returned an incorrectly encoded value: " + represent(value));
        }
        break;
      case State::waiting_for_body:
        result_value = value;
        state = State::call_iterator;
        break;
      case State::call_iterator:
      case State::run_body:
      case State::finished:
        break;
    }
  }
  Value* result(Heap&) override { return result_value; }
  void visit_edges(Visitor& visit) override {
    visit(variable);
    visit(body);
    visit(environment);
    visit(iterator);
    visit(iteration_environment);
    visit(result_value);
  }

  Heap* heap = nullptr;
  Value* variable = nullptr;
  Value* body = nullptr;
  Environment* environment = nullptr;
  Value* iterator = nullptr;
  Environment* iteration_environment = nullptr;
  Value* result_value = nullptr;
  State state = State::waiting_for_iterator;
};

}  // namespace

ResumableState* make_for_state(FramePools& pools) { return make_state<ForState>(pools); }

}  // namespace brevalon

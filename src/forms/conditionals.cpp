// Conditionals and logic with strict truth: if, and, or, not.
#include "forms/conditionals.h"

#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/eval_frames.h"
#include "eval/interpreter.h"
#include "printer/printer.h"
#include "values/types.h"

namespace brevalon {

namespace {

struct IfState final : ResumableState, Pooled<IfState> {
  enum class State : uint8_t { waiting_for_condition, take_then, take_else, finished };

  void init(Interpreter& interpreter, Environment* env, Value* arguments) override {
    take(interpreter.heap, env, arguments);
    state = State::waiting_for_condition;
    interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, condition()));
  }
  void restore(Heap& heap, Environment* env, Value* arguments, Phase phase, Value*, Value*, Value*) override {
    take(heap, env, arguments);
    state = phase == Phase::condition     ? State::waiting_for_condition
            : phase == Phase::then_branch ? State::take_then
                                          : State::take_else;
  }
  void take(Heap& heap, Environment* env, Value* arguments) {
    Arguments args("if", arguments);
    args.require(2);
    forms = arguments;
    constants = &heap.constants;
    environment = env;
  }
  // The forms are a proper list of at least two, checked when the call started.
  Value* condition() const { return car(forms); }
  Value* then_form() const { return car(cdr(forms)); }
  Value* else_form() const {
    Value* rest = cdr(cdr(forms));
    return rest->kind == Kind::Cell ? car(rest) : constants->nil;
  }
  bool next_step(Interpreter& interpreter) override {
    switch (state) {
      case State::take_then:
        interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, then_form()));
        return false;
      case State::take_else:
        interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, else_form()));
        return false;
      case State::waiting_for_condition:
      case State::finished:
        break;
    }
    return true;
  }
  void resume(Value* value) override {
    switch (state) {
      case State::waiting_for_condition:
        if (value == constants->true_value) {
          state = State::take_then;
        } else if (value == constants->false_value) {
          state = State::take_else;
        } else {
          lisp_error("Unsupported non-boolean value in if: " + represent(condition()) + " is " + represent(value));
        }
        break;
      case State::take_then:
      case State::take_else:
      case State::finished:
        result_value = value;
        state = State::finished;
        break;
    }
  }
  Value* result(Heap& heap) override { return state == State::finished ? result_value : heap.constants.nil; }
  void visit_edges(Visitor& visit) override {
    visit(forms);
    visit(environment);
  }

  // The branch's value arrives when the forms are no longer needed: a pending `if` is one of the
  // commonest frames of a deep recursion, so the two share a word.
  union {
    Value* forms = nullptr;
    Value* result_value;
  };
  Environment* environment = nullptr;
  const Constants* constants = nullptr;
  State state = State::waiting_for_condition;
};

// and stops at the first false, or stops at the first true; `is_and` says which.
template <bool is_and>
struct LogicState final : ResumableState, Pooled<LogicState<is_and>> {
  void init(Interpreter& interpreter, Environment* env, Value* arguments) override {
    heap = &interpreter.heap;
    form_arguments = arguments;
    remaining = arguments;
    environment = env;
    result_value = heap->constants.boolean(is_and);
  }
  void restore(Heap& h, Environment* env, Value* arguments, Phase, Value* position, Value* operand, Value*) override {
    heap = &h;
    form_arguments = arguments;
    remaining = position;
    current = operand;
    environment = env;
    result_value = heap->constants.boolean(is_and);
  }
  bool next_step(Interpreter& interpreter) override {
    if (remaining->kind != Kind::Cell) return true;
    current = car(remaining);
    interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, current));
    return false;
  }
  void resume(Value* value) override {
    Value* stop = heap->constants.boolean(!is_and);
    Value* go_on = heap->constants.boolean(is_and);
    if (value == stop) {
      result_value = stop;
      remaining = heap->constants.nil;
    } else if (value == go_on) {
      remaining = cdr(remaining);
    } else {
      NamedSymbol head(heap->names.intern(is_and ? "and" : "or"));
      Cell whole(&head, form_arguments);
      lisp_error(represent(&whole) + ": Arguments must be booleans, " + represent(current) + " = " + represent(value) +
                 " is not");
    }
  }
  Value* result(Heap&) override { return result_value; }
  void visit_edges(Visitor& visit) override {
    visit(form_arguments);
    visit(remaining);
    visit(current);
    visit(environment);
    visit(result_value);
  }

  Heap* heap = nullptr;
  Value* form_arguments = nullptr;
  Value* remaining = nullptr;
  Value* current = nullptr;
  Environment* environment = nullptr;
  Value* result_value = nullptr;
};

}  // namespace

ResumableState* make_if_state(FramePools& pools) { return make_state<IfState>(pools); }
ResumableState* make_and_state(FramePools& pools) { return make_state<LogicState<true>>(pools); }
ResumableState* make_or_state(FramePools& pools) { return make_state<LogicState<false>>(pools); }

Value* native_not(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("not", arguments);
  Value* value = args.at(0);
  const Constants& constants = interpreter.heap.constants;
  if (value == constants.true_value) return constants.false_value;
  if (value == constants.false_value) return constants.true_value;
  args.wrong_kind(0, "true or false");
}

}  // namespace brevalon

// The direct evaluator's recursion and the frames its records become.
#include "eval/fast/direct.h"

#include <algorithm>

#include "base/errors.h"
#include "base/stack_guard.h"
#include "eval/eval_frames.h"
#include "eval/fast/dispatch.h"
#include "eval/fast/dispatch_frame.h"
#include "eval/fast/dispatcher_text.h"
#include "eval/fast/list_walks.h"
#include "eval/fast/prelude_lists.h"
#include "eval/fast/quick_calls.h"
#include "eval/fast/range_iterator.h"
#include "eval/fast/record_frames.h"
#include "eval/fast_paths.h"
#include "eval/interpreter.h"
#include "eval/native_frames.h"
#include "values/environment.h"
#include "values/function.h"

namespace brevalon {

namespace {
uintptr_t stack_here() { return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)); }
}  // namespace

size_t records_for_stack() {
  constexpr size_t least = size_t{1} << 16;
  constexpr size_t stack_bytes_per_record = 64;
  uintptr_t top = stack_here();
  uintptr_t floor = recursion_floor();
  return std::max(least, top > floor ? size_t(top - floor) / stack_bytes_per_record : 0);
}

// Fields by kind:
//   eval         a expression, b callee, c arguments; state EvalFrame::State
//   eval_args    a argument forms, b forms not yet started, c, d the values' list head and tail
//                (null while there are none)
//   call         a callee, b arguments, c call form; state CallFrame::State
//   exec         a body, b forms not yet started, c last result
//   native_call  a the NativeFunc, b arguments (pushed only when the native fails, as its frame is)
//   special      a the ResumableNative, b arguments; for and/or c the position in them and d the
//                operand being evaluated; for `for` c the iterator, d the scope of the body's run
//                and e the body's last value; state ResumableState::Phase
//   dispatch     a the generic's LispFunc, b the method, c the method's arguments
// and two kinds that stand for the frames of a call made from an EvalFrame, so that the commonest
// calls take one record rather than three (they count as the frames they stand for):
//   function_call  the EvalFrame calling a function (fields as eval's) and its CallFrame awaiting
//                  the result; once d, the new scope, is set, also the ExecFrame of a one-form body
//                  with that form under way. When c is null, state is the count of the arguments,
//                  whose values wait in DirectRecords::values.
//   if_call        the EvalFrame calling `if` (fields as eval's), its CallFrame awaiting the result
//                  and the native's frame; state the native's phase
//   function_if    a function_call whose one-form body is a call of `if`, with that call's frames
//                  as an if_call's above its ExecFrame: e the value of the form's head, state the
//                  native's phase, and `count` the count of the arguments in hand when c is null
// and one that stands for an EvalFrame and the EvalArgsFrame above it:
//   eval_with_values  the EvalFrame awaiting its arguments (fields as eval's) and its EvalArgsFrame,
//                  whose values so far, `count` of them, wait in DirectRecords::values; d the
//                  argument forms not yet started
// and the loops of map, filter and reduce, each standing for the frames of all its levels (see
// list_walks.cpp for their fields, and list_walks.h for the frames).
void DirectRecords::visit_edges(Visitor& visit) {
  for (DirectRecord* record = block.get(); record != top; ++record) {
    visit(record->environment);
    visit(record->a);
    visit(record->b);
    visit(record->c);
    visit(record->d);
    visit(record->e);
  }
  for (Value** value = values.get(); value != values_top; ++value) visit(*value);
}

namespace {

using Record = DirectRecord;
// The most arguments a call binds from their values in hand (see binds_in_place).
constexpr int most_values_in_place = 4;
// How deep on the machine stack a direct evaluation goes before forms are left to
// evaluate_in_record's loop: a form left saves a C frame but takes more steps to go on from,
// worth it only in a recursion deep enough for its machine stack to matter.
constexpr uintptr_t deep_stack_bytes = uintptr_t{256} << 10;
// The most argument forms whose values evaluate_argument_values keeps in hand.
constexpr int most_argument_values = 8;
using Phase = ResumableState::Phase;
// The frames of a call of `if` in place: its EvalFrame, CallFrame and the native's frame.
constexpr uint32_t if_frames = 3;


class Direct {
 public:
  Direct(Interpreter& interpreter, EvalFrame& base_frame)
      : interpreter_(interpreter),
        runtime_(interpreter.runtime),
        heap_(interpreter.heap),
        records_(interpreter.runtime.direct),
        base_frame_(base_frame),
        base_(records_.top),
        values_base_(records_.values_top),
        nil_(heap_.constants.nil),
        floor_(recursion_floor()),
        deep_(stack_here() - std::min(stack_here(), deep_stack_bytes)),
        bounded_(runtime_.bounded()) {}

  Value* run() {
    // The base frame is on the trampoline's stack already, counted there.
    *records_.top++ = Record{Record::Kind::eval, 0, 0, base_frame_.environment, base_frame_.expression, nullptr, nullptr, nullptr, nullptr};
    Value* value = evaluate_call(base_);
    if (value) --records_.top;
    return value;
  }

  // The records become the frames they stand for, on the trampoline's stack above the base frame.
  void hand_on() {
    records_become_frames(interpreter_, base_frame_, base_, records_.top, values_base_);
    records_.top = base_;
    records_.values_top = values_base_;
  }

 private:
  // Handing on to the trampoline from the innermost record: every caller returns null at once,
  // leaving its record in place. `value`, when set, is the result of the top frame's child, which
  // the direct path does not take further (an error is the frame's to raise). Returning rather
  // than throwing keeps a hand-over from a deep recursion cheap.
  Value* hand_over(Value* value = nullptr) {
    handing_over_ = true;
    pending_value_ = value;
    return nullptr;
  }

  // Pushes the record of a frame as Interpreter::push pushes the frame: past the limit, it fails
  // with the record on top.
  Record* push(const Record& record) {
    Record* self = records_.top++;
    *self = record;
    if (++runtime_.frame_count > Runtime::max_frames) Interpreter::too_many_frames();
    return self;
  }
  void pop() {
    --runtime_.frame_count;
    --records_.top;
  }

  // The value of `form` evaluated in a frame of its own, as if, and, or and a call's head have it.
  // `branch` when it is the branch an `if` picked: a call of `if` there goes on in a loop (see
  // run_nested_ifs). `tail` when the record whose form this is part of is the one
  // evaluate_in_record is stepping, and resume_left knows what it does with the form's value: a
  // form that would take a record of its own is left to that loop instead, and tail_mark()
  // returned (see evaluate_in_record).
  Value* evaluate_in_frame(Environment* environment, Value* form, bool branch = false, bool tail = false) {
    Value* value;
    // An atom's frame would come and go within one step: it is pushed only to fail.
    if (form->kind != Kind::Cell && runtime_.frame_count < Runtime::max_frames && evaluate_atom(runtime_.global, environment, form, value))
      return value;
    // So is the frame of a quick call; a head that is an atom is looked at once, here, and kept
    // in the record for the call.
    Value* callee = nullptr;
    if (form->kind == Kind::Cell && look_up_head(environment, car(form), callee) && callee->kind == Kind::Function) {
      if (branch && is_if_in_place(callee, cdr(form))) return run_nested_ifs(environment, form, callee, tail);
      if (Value* quick = quick_call(runtime_, environment, callee, cdr(form))) return quick;
    }
    return in_record(environment, form, callee, tail && form->kind == Kind::Cell);
  }

  // `form` in a record of its own, with `callee` as its head's value when that was looked up:
  // stepped in evaluate_in_record, or, when `leave` (and `form` is a list), left to the loop of
  // the evaluate_in_record already stepping (see there), whose record is pushed there.
  Value* in_record(Environment* environment, Value* form, Value* callee, bool leave) {
    if (!leave) return evaluate_in_record(environment, form, callee);
    tail_ = Tail{environment, form, callee};
    return tail_mark();
  }

  // evaluate_atom for the head of a call form: false when it is a list or unbound.
  bool look_up_head(Environment* environment, Value* head, Value*& callee) {
    // A name, which most heads are, is not first asked whether it is a list.
    if (head->kind == Kind::NamedSymbol) [[likely]]
      return evaluate_atom_named_first(runtime_.global, environment, head, callee);
    return head->kind != Kind::Cell && evaluate_atom(runtime_.global, environment, head, callee);
  }

  // The rest of evaluate_in_frame, with the frame's record pushed: out of line, so that the
  // answers above cost no more than they need.
  //
  // Four kinds of form are left to this loop when they would take a record of their own
  // (tail_mark() comes back, the form in tail_): the last form of the body of a function called
  // with its argument values in hand, the branch that such a function's one-form `if` body picks,
  // the branch of an `if` called in place (the last of a chain of them, as a cond's), and an
  // argument form of a call whose values are kept in hand. The form's record is pushed
  // above the record that left it, as the recursion would push it, and stepped here; once it has
  // its value, the record that left it takes the value (see resume_left), innermost first. A
  // recursion through such forms, as in (if (= n 0) 1 (- (* 3 (f (- n 1))) n)), thus takes no C
  // frame of the machine stack for each level, once it is deep (see deep_stack_bytes).
  [[gnu::noinline]] Value* evaluate_in_record(Environment* environment, Value* form, Value* callee) {
    Record* self = push(Record{Record::Kind::eval, uint8_t(EvalFrame::State::start), 0, environment, form, callee, nullptr, nullptr, nullptr});
    if (form->kind != Kind::Cell) return atom_in_record(environment, form);
    Record* const first = self;
    for (;;) {
      if (!may_step()) return hand_over();
      Value* value = evaluate_call(self);
      while (value != tail_mark()) {
        if (!value) return nullptr;
        pop();
        if (records_.top == first) [[likely]] return value;
        value = resume_left(value);
      }
      // A form left to the loop is a list: evaluate_in_frame has its value in place otherwise.
      self = push(Record{Record::Kind::eval, uint8_t(EvalFrame::State::start), 0, tail_.environment, tail_.form, tail_.callee, nullptr, nullptr, nullptr});
    }
  }

  // The record on top, which left a form to evaluate_in_record's loop, takes that form's value
  // and goes on as its calls would have: the value it gives, null when handing over, or
  // tail_mark() for another form left. A function_if's branch: run_if_of_body lets go of the if's
  // three frames, run_body_of of the ExecFrame, call_function_with of the CallFrame, and its
  // caller of the values in hand. A function_call's body form: the same but the if's frames, and
  // the ExecFrame only when the record holds it; when the body has more forms, its exec record goes
  // first. An if_call's branch: call_if_in_place lets go of the CallFrame and the native's frame.
  // An eval_with_values's argument: the value is kept, the next argument forms evaluated,
  // and the call made once they all have their values.
  [[gnu::noinline]] Value* resume_left(Value* value) {
    Record* record = records_.top - 1;
    switch (record->kind) {
      case Record::Kind::function_if:
        runtime_.frame_count -= if_frames + 2;
        records_.values_top -= record->count;
        return value;
      case Record::Kind::function_call:
        // The ExecFrame too when it is in the record (a one-form body); the CallFrame.
        runtime_.frame_count -= record->d ? 2 : 1;
        records_.values_top -= record->state;
        return value;
      case Record::Kind::exec:
        pop();
        return resume_left(value);
      case Record::Kind::if_call:
        runtime_.frame_count -= 2;
        return value;
      default:
        break;
    }
    *records_.values_top++ = value;
    ++record->count;
    Value* done = next_argument_values(record);
    if (done != nil_) return done;
    return call_with_values(record, record->b, int(record->count));
  }

  // Whether a form of the record at `self`, which evaluate_in_record is stepping unless it is the
  // base, may be left to that loop: once the recursion is deep (see deep_stack_bytes).
  bool may_leave_forms(const Record* self) const { return self != base_ && stack_here() < deep_; }

  // What evaluate_in_frame returns when it leaves a form to evaluate_in_record's loop: never a
  // value (no value sits at address 1), and never null.
  static Value* tail_mark() { return reinterpret_cast<Value*>(uintptr_t{1}); }
  // Whether `result` is a value: neither null (handing over) nor tail_mark(), in one comparison.
  static bool is_value(const Value* result) { return reinterpret_cast<uintptr_t>(result) > 1; }

  // Where the trampoline would take its next step with an EvalFrame just pushed on top: the
  // collector may run, and the step is the trampoline's (false) when the machine stack or the
  // records run low, or when a bounded run has spent its budget; otherwise it is counted.
  [[gnu::always_inline]] bool may_step() {
    heap_.safe_point();
    if (stack_here() < floor_ || !records_.has_room()) return false;
    if (bounded_) {
      if (runtime_.step_budget == 0 || heap_.live_bytes() > runtime_.live_bytes_budget) return false;
      --runtime_.step_budget;
    }
    return true;
  }

  // An atom's frame, pushed where its value is not to be had in place: at the frame limit, or to
  // fail when the atom is unbound. Out of line, so that the recursion's frame holds no room for it.
  [[gnu::noinline]] Value* atom_in_record(Environment* environment, Value* form) {
    Value* value;
    if (!evaluate_atom(runtime_.global, environment, form, value)) undefined_symbol(form);
    pop();
    return value;
  }

  // An atom in place when it is bound, otherwise the form in a frame of its own (or, when
  // `tail`, left to evaluate_in_record's loop, see evaluate_in_frame).
  Value* evaluate_part(Environment* environment, Value* form, bool tail = false) {
    Value* value;
    if (form->kind != Kind::Cell && evaluate_atom(runtime_.global, environment, form, value)) return value;
    return evaluate_in_frame(environment, form, false, tail);
  }

  // EvalFrame from its start: the call form of the eval record at `self`.
  // The record's b, when set, is the head's value, looked up already, and a quick call tried with it.
  [[gnu::always_inline]] Value* evaluate_call(Record* self) {
    Environment* environment = self->environment;
    Value* expression = self->a;
    Value* head = car(expression);
    Value* known = self->b;
    Value* callee = known;
    self->state = uint8_t(EvalFrame::State::callee_known);
    if (!callee && (head->kind == Kind::Cell || !evaluate_atom(runtime_.global, environment, head, callee))) {
      callee = evaluate_in_frame(environment, head);
      if (!callee) return nullptr;
    }
    self->b = callee;
    if (callee->kind != Kind::Function) not_callable(heap_, callee, expression);
    if (!known)
      if (Value* value = quick_call(runtime_, environment, callee, cdr(expression))) return value;
    Value* arguments = nullptr;
    switch (as<Function>(callee)->exec_mode) {
      case mode_function:
        if (LispFunc* lisp = binds_in_place(callee); lisp && records_.has_value_room(most_values_in_place)) {
          // The values are written where they are kept, and kept only if they all come.
          Value** kept = records_.values_top;
          int count = quick_values(runtime_, environment, cdr(expression), kept, most_values_in_place);
          if (count >= 0 && size_t(count) == lisp->parameters.size()) {
            self->kind = Record::Kind::function_call;
            self->state = uint8_t(count);
            self->c = nullptr;
            records_.values_top += count;
            Value* result = call_function_with(self, lisp, kept);
            if (is_value(result)) records_.values_top -= count;
            return result;
          }
        }
        if (holds_slow_call(cdr(expression)) || (!(arguments = quick_arguments(runtime_, environment, cdr(expression))) &&
                                                 !(arguments = evaluate_atom_arguments(heap_, environment, cdr(expression))))) {
          self->state = uint8_t(EvalFrame::State::awaiting_arguments);
          int count = form_count(cdr(expression));
          if (count < 0 || !records_.has_value_room(count)) {
            arguments = evaluate_arguments(environment, cdr(expression));
          } else {
            Value* done = evaluate_argument_values(self);
            if (done != nil_) return done;
            return call_with_values(self, callee, count);
          }
          if (!arguments) return nullptr;
        }
        return call_with_list(self, callee, arguments);
      case mode_no_eval:
      case mode_no_expand:
        arguments = cdr(expression);
        self->c = arguments;
        self->state = uint8_t(EvalFrame::State::calling);
        if (as<Function>(callee)->implementation == runtime_.fast_paths.if_native && if_in_place(arguments))
          return call_if_in_place(self, arguments);
        return call(environment, callee, arguments, expression, false);
      default:
        macro_reached(expression);
    }
  }

  // EvalArgsFrame: the values of the argument forms, in a new list.
  [[gnu::noinline]] Value* evaluate_arguments(Environment* environment, Value* forms) {
    Record* self = push(Record{Record::Kind::eval_args, 0, 0, environment, forms, forms, nullptr, nullptr, nullptr});
    while (self->b->kind == Kind::Cell) {
      Value* form = car(self->b);
      self->b = cdr(self->b);
      Value* value = evaluate_part(environment, form);
      if (!value) return nullptr;
      ListBuilder values{self->c, static_cast<Cell*>(self->d)};
      values.append(heap_, value);
      self->c = values.head;
      self->d = values.tail;
    }
    if (self->b != nil_) improper_argument_forms(forms);
    Value* list = self->c ? self->c : nil_;
    pop();
    return list;
  }

  // The count of a proper list of at most most_argument_values forms, or -1.
  int form_count(Value* forms) const {
    int count = 0;
    for (; forms->kind == Kind::Cell; forms = cdr(forms))
      if (++count > most_argument_values) return -1;
    return forms == nil_ ? count : -1;
  }

  // evaluate_arguments for the call at `self`, the top record, with the values kept in hand and
  // the EvalArgsFrame in that record (eval_with_values), for a proper list of forms of at most
  // most_argument_values, with room for them: the values are left on top of
  // DirectRecords::values, and nil returned. Null when handing over; tail_mark() when a form was
  // left to the loop of evaluate_in_record stepping `self` (see resume_left). In line in
  // evaluate_in_record, as is call_with_values: a call nested in another's arguments, as in
  // (- (* 3 (f x)) y), then takes one C frame of the machine stack for each call around it, not
  // two, and none once the recursion is deep.
  [[gnu::always_inline]] Value* evaluate_argument_values(Record* self) {
    self->kind = Record::Kind::eval_with_values;
    self->d = cdr(self->a);
    self->count = 0;
    // As the EvalArgsFrame's push would: past the limit, it fails with the frame on top.
    if (++runtime_.frame_count > Runtime::max_frames) Interpreter::too_many_frames();
    return next_argument_values(self);
  }

  // The rest of evaluate_argument_values, from the record's next form on: where resume_left goes
  // on once a form left to the loop has its value.
  [[gnu::always_inline]] Value* next_argument_values(Record* self) {
    bool tail = may_leave_forms(self);
    while (self->d->kind == Kind::Cell) {
      Value* form = car(self->d);
      self->d = cdr(self->d);
      Value* value = evaluate_part(self->environment, form, tail);
      if (!is_value(value)) return value;
      *records_.values_top++ = value;
      ++self->count;
    }
    end_argument_values(self);
    return nil_;
  }

  // The EvalArgsFrame of the record at `self` goes, its values all in hand.
  void end_argument_values(Record* self) {
    --runtime_.frame_count;
    self->kind = Record::Kind::eval;
    self->d = nullptr;
  }

  // The call at `self` once the values of its `count` argument forms are in hand, on top of
  // DirectRecords::values: made by binding a function's parameters from them, as quick arguments
  // do (the record is then a function_call), as the prelude's + or a quick native makes it
  // without its CallFrame (the record's state is then finished), or with their list.
  [[gnu::always_inline]] Value* call_with_values(Record* self, Value* callee, int count) {
    Value** values = records_.values_top - count;
    if (Value* value = quick_call_of_values(self->environment, callee, values, count)) {
      records_.values_top -= count;
      self->state = uint8_t(EvalFrame::State::finished);
      return value;
    }
    if (LispFunc* lisp = binds_in_place(callee); lisp && size_t(count) == lisp->parameters.size()) {
      self->kind = Record::Kind::function_call;
      self->state = uint8_t(count);
      self->c = nullptr;
      Value* result = call_function_with(self, lisp, values);
      if (is_value(result)) records_.values_top -= count;
      return result;
    }
    Value* arguments = make_list(heap_, values, size_t(count));
    records_.values_top -= count;
    return call_with_list(self, callee, arguments);
  }

  // The call at `self` with its argument list.
  Value* call_with_list(Record* self, Value* callee, Value* arguments) {
    self->c = arguments;
    self->state = uint8_t(EvalFrame::State::calling);
    if (as<Function>(callee)->implementation->kind == Kind::LispFunc && callee != runtime_.fast_paths.plus &&
        runtime_.frame_count + 2 <= Runtime::max_frames)
      return call_function(self, as<LispFunc>(as<Function>(callee)->implementation), arguments);
    return call(self->environment, callee, arguments, self->a, true);
  }

  // What a call of `callee` with these argument values gives without its CallFrame, for the
  // prelude's + and for a native with a quick routine, as quick calls have it; null when the call
  // takes its frames.
  Value* quick_call_of_values(Environment* environment, Value* callee, Value* const* values, int count) {
    FastPaths& paths = runtime_.fast_paths;
    if (callee == paths.plus) return paths.plus_intact() ? fast_plus(runtime_, values, size_t(count)) : nullptr;
    Value* impl = as<Function>(callee)->implementation;
    if (impl->kind != Kind::NativeFunc || !as<NativeFunc>(impl)->quick) return nullptr;
    auto* native = as<NativeFunc>(impl);
    // Room for the CallFrame and the native's frame, which would fail at the limit.
    if (native->quick_arity != count || runtime_.frame_count + 2 > Runtime::max_frames) return nullptr;
    return native->quick(heap_, environment, values);
  }

  // CallFrame: the call's result. `checked` when the callee is a function and the arguments a
  // list this evaluator made.
  Value* call(Environment* environment, Value* callee, Value* arguments, Value* call_form, bool checked) {
    Record* self = push(Record{Record::Kind::call, uint8_t(CallFrame::State::start), 0, environment, callee, arguments, call_form, nullptr, nullptr});
    if (!checked) check_call(heap_, callee, arguments);
    self->state = uint8_t(CallFrame::State::awaiting_result);
    FastPaths& paths = runtime_.fast_paths;
    Value* result = nullptr;
    if (callee == paths.plus && paths.plus_intact()) result = fast_plus(runtime_, arguments);
    if (!result) {
      Value* impl = as<Function>(callee)->implementation;
      switch (impl->kind) {
        case Kind::LispFunc:
          result = call_lisp(as<LispFunc>(impl), arguments, call_form);
          break;
        case Kind::NativeFunc:
          result = call_native(as<NativeFunc>(impl), arguments, environment);
          break;
        default:
          result = call_special(as<ResumableNative>(impl), arguments, environment);
          if (!result && !handing_over_) {
            // The trampoline starts this call again: nothing of it has happened yet.
            self->state = uint8_t(CallFrame::State::start);
            return hand_over();
          }
      }
      if (!result) return nullptr;
    }
    pop();
    return result;
  }

  // The CallFrame of a function called from the EvalFrame at `self`, in that record (function_call).
  Value* call_function(Record* self, LispFunc* lisp, Value* arguments) {
    self->kind = Record::Kind::function_call;
    ++runtime_.frame_count;
    Value* result = call_lisp(lisp, arguments, self->a, self);
    if (!result) return nullptr;
    --runtime_.frame_count;
    return result;
  }

  // Whether `if` with these arguments goes into one record: a form the native takes, and room for
  // its CallFrame and its own frame below the limit.
  bool if_in_place(Value* arguments) const {
    if (arguments->kind != Kind::Cell || cdr(arguments)->kind != Kind::Cell ||
        runtime_.frame_count + 2 > Runtime::max_frames)
      return false;
    // Two or three forms, the commonest shapes, are seen to be a proper list at a glance.
    Value* rest = cdr(cdr(arguments));
    return rest == nil_ || (rest->kind == Kind::Cell && cdr(rest) == nil_) || is_proper_list(heap_, arguments);
  }

  // The EvalFrame's record at `self` becomes an if_call: its CallFrame and the native's frame are
  // counted, and the native starts at the test.
  void enter_if_in_place(Record* self) {
    self->kind = Record::Kind::if_call;
    self->state = uint8_t(Phase::condition);
    runtime_.frame_count += 2;
  }

  // `if` called from the EvalFrame at `self`: its CallFrame and the native's frame in that record.
  // The branch may be left to the loop of evaluate_in_record stepping `self` (see resume_left).
  Value* call_if_in_place(Record* self, Value* arguments) {
    enter_if_in_place(self);
    Value* value = run_if(self, arguments, self->environment, may_leave_forms(self));
    if (!is_value(value)) return value;
    runtime_.frame_count -= 2;
    return value;
  }

  // `combined`, when set, is the function_call record that holds the CallFrame: a one-form body
  // then runs with its ExecFrame in that record too.
  Value* call_lisp(LispFunc* lisp, Value* arguments, Value* call_form, Record* combined = nullptr) {
    if (lisp->prelude_role == role_map || lisp->prelude_role == role_filter || lisp->prelude_role == role_reduce) {
      Value* value = lisp->prelude_role == role_map      ? walk_map(arguments)
                     : lisp->prelude_role == role_filter ? walk_filter(arguments)
                                                         : walk_reduce(arguments);
      if (value || handing_over_) return value;
    } else if (lisp->prelude_role) {
      if (Value* value = native_prelude_call(runtime_, lisp, arguments)) return value;
    }
    Value* method = nullptr;
    if (Value* method_arguments = choose_native_dispatch(runtime_, lisp, arguments, method)) {
      // As DispatchFrame counts: the frames it stands for first, then its own push.
      runtime_.frame_count += DispatchFrame::frames_stood_for - 1;
      push(Record{Record::Kind::dispatch, 0, 0, nullptr, lisp, method, method_arguments, nullptr, nullptr});
      Value* value = call(lisp->closure, method, method_arguments, dispatcher_method_call(lisp->body), true);
      if (!value) return nullptr;
      runtime_.frame_count -= DispatchFrame::frames_stood_for - 1;
      pop();
      return value;
    }
    Environment* scope = bind_parameters(heap_, lisp, arguments, call_form);
    if (!combined) return execute(lisp->body, scope);
    return run_body(combined, lisp->body, scope);
  }

  // A call of map as a loop with one record for all its levels (see list_walks.h): the list of the
  // function's values; null, having done nothing, when the call takes the prelude's path.
  [[gnu::noinline]] Value* walk_map(Value* arguments) {
    Value* function;
    Value* list;
    if (!walk_arguments(arguments, function, list) || !walk_level_fits(map_first_level_frames)) return nullptr;
    Record* self = push(Record{Record::Kind::map_walk, 0, 0, nullptr, function, list, nullptr, nullptr, list});
    runtime_.frame_count += map_first_level_frames - 1;
    for (;;) {
      Environment* scope = map_level_scope(runtime_, function, self->e);
      Value* value = walk_level(self, scope, scope, runtime_.fast_paths.map.element_call, map_level_frames, false);
      if (!value) return nullptr;
      ListBuilder values{self->c, static_cast<Cell*>(self->d)};
      values.append(heap_, value);
      self->c = values.head;
      self->d = values.tail;
      if (cdr(self->e) == nil_) break;
      self->e = cdr(self->e);
      ++self->count;
      runtime_.frame_count += map_level_frames;
    }
    Value* result = self->c;
    runtime_.frame_count -= map_first_level_frames - 1 + map_level_frames * self->count;
    pop();
    return result;
  }

  // A call of filter as a loop with one record for all its levels (see list_walks.h): the list of
  // the elements kept; null, having done nothing, when the call takes the prelude's path.
  [[gnu::noinline]] Value* walk_filter(Value* arguments) {
    Value* function;
    Value* list;
    if (!walk_arguments(arguments, function, list) || !walk_level_fits(filter_first_level_frames)) return nullptr;
    size_t frames_before = runtime_.frame_count;
    Record* self = push(Record{Record::Kind::filter_walk, 0, 0, nullptr, function, list, nullptr, nullptr, list});
    runtime_.frame_count += filter_first_level_frames - 1;
    for (;;) {
      Environment* let_scope = filter_level_scope(runtime_, function, self->e);
      Value* value = walk_level(self, let_scope, let_scope->parent, runtime_.fast_paths.filter.element_call,
                                filter_level_frames + filter_kept_frames, true);
      if (!value) return nullptr;
      if (value == heap_.constants.true_value) {
        self->c = heap_.make<Cell>(self->e, self->c ? self->c : nil_);
        runtime_.frame_count += filter_kept_frames;
      }
      if (cdr(self->e) == nil_) break;
      self->e = cdr(self->e);
      ++self->count;
      runtime_.frame_count += filter_level_frames;
    }
    // The kept elements, from the lists they head, latest first.
    Value* result = nil_;
    for (Value* kept = self->c ? self->c : nil_; kept != nil_; kept = cdr(kept)) result = heap_.make<Cell>(car(car(kept)), result);
    runtime_.frame_count = frames_before + 1;
    pop();
    return result;
  }

  // A call of reduce as a loop with one record for all the helper's levels (see list_walks.h): the
  // last value of the function; null, having done nothing, when the call takes the prelude's path.
  [[gnu::noinline]] Value* walk_reduce(Value* arguments) {
    Value* function;
    Value* list;
    // One element is the answer without a call of the function: the prelude's text gives it.
    if (!walk_arguments(arguments, function, list) || cdr(list)->kind != Kind::Cell ||
        !walk_level_fits(reduce_first_frames + reduce_level_frames))
      return nullptr;
    Record* self = push(Record{Record::Kind::reduce_walk, 0, 0, nullptr, function, list, nullptr, nullptr, cdr(list)});
    runtime_.frame_count += reduce_first_frames + reduce_level_frames - 1;
    Value* accumulated = car(list);
    for (;;) {
      Environment* scope = reduce_level_scope(runtime_, function, self->e, accumulated);
      Value* value = walk_level(self, scope, scope, runtime_.fast_paths.reduce.element_call, reduce_level_frames, false);
      if (!value) return nullptr;
      accumulated = value;
      if (cdr(self->e) == nil_) break;
      self->c = heap_.make<Cell>(value, self->c ? self->c : nil_);
      self->e = cdr(self->e);
      ++self->count;
      runtime_.frame_count += reduce_level_frames;
    }
    runtime_.frame_count -= reduce_first_frames + reduce_level_frames - 1 + reduce_level_frames * self->count;
    pop();
    return accumulated;
  }

  // The function and the list of a loop's call, when the call reaches the function: two
  // arguments, the list a cell, and nothing the prelude's text reads changed.
  bool walk_arguments(Value* arguments, Value*& function, Value*& list) {
    if (bounded_ || arguments->kind != Kind::Cell || cdr(arguments)->kind != Kind::Cell || cdr(cdr(arguments)) != nil_)
      return false;
    function = car(arguments);
    list = car(cdr(arguments));
    return list->kind == Kind::Cell && runtime_.fast_paths.prelude_intact(0);
  }

  // A level of the loop at `self`, its list in e: the value of the function's call `call` made in
  // `scope`, inside `outer` (the same scope, or the one the let of filter's level is in); null
  // when the call handed on, or when the loop hands on with the value because the next level would
  // read what the program may have changed meanwhile, would look at a rest that is neither a cell
  // nor nil only to fail, would not fit its `next_frames`, or (for a `test`) the value is no
  // boolean, which if refuses.
  Value* walk_level(Record* self, Environment* scope, Environment* outer, Value* call, uint32_t next_frames, bool test) {
    self->environment = scope;
    uint64_t version = scope->version;
    uint64_t outer_version = outer->version;
    // Where the trampoline steps the level's frames: a function of quick calls reaches no other.
    heap_.safe_point();
    Value* value = evaluate_in_frame(scope, call);
    if (!value) return nullptr;
    Value* rest = cdr(self->e);
    bool refused = test && value != heap_.constants.true_value && value != heap_.constants.false_value;
    if (refused || !runtime_.fast_paths.prelude_intact(0) || scope->version != version || outer->version != outer_version ||
        (rest->kind != Kind::Cell && rest != nil_) || !walk_level_fits(next_frames))
      return hand_over(value);
    return value;
  }

  // Room for a level of a loop and the frames its test and its element's arguments take, with
  // room to spare: near the limit, the prelude's text runs.
  bool walk_level_fits(uint32_t frames) const {
    constexpr size_t spare = 64;
    return runtime_.frame_count + frames + spare <= Runtime::max_frames;
  }

  // The body of a function called from the record `combined` (function_call), in its new scope: a
  // one-form body with its ExecFrame in that record. `tail` when `combined` is the record
  // evaluate_in_record is stepping, called through run_body_of: the body's last form may be left
  // to that loop.
  Value* run_body(Record* combined, Value* body, Environment* scope, bool tail = false) {
    if (body->kind != Kind::Cell || cdr(body) != nil_) return execute(body, scope, tail);
    combined->d = scope;
    ++runtime_.frame_count;
    Value* value = evaluate_body_form(combined, car(body), scope, tail);
    if (!is_value(value)) return value;
    --runtime_.frame_count;
    return value;
  }

  // run_body for a call that binds its parameters from values in hand (call_function_with), which
  // most are: the body's shape is worked out at the first call and kept in the function, so that
  // the calls after it look only at what the form's head means. Apart from run_body, which the
  // recursion's own frame inlines: there the same test made that frame larger.
  Value* run_body_of(Record* combined, LispFunc* lisp, Environment* scope) {
    using Shape = LispFunc::BodyShape;
    if (lisp->body_shape == Shape::unknown) lisp->body_shape = shape_of_body(lisp->body);
    bool tail = may_leave_forms(combined);
    if (lisp->body_shape != Shape::if_shaped) return run_body(combined, lisp->body, scope, tail);
    combined->d = scope;
    ++runtime_.frame_count;
    Value* form = car(lisp->body);
    Value* callee;
    Value* value;
    if (!look_up_head(scope, car(form), callee) || callee->kind != Kind::Function)
      value = evaluate_part(scope, form, tail);
    else if (is_if_of_shaped_body(callee))
      value = run_if_of_body(combined, form, callee, tail);
    else if (!(value = quick_call(runtime_, scope, callee, cdr(form))))
      value = in_record(scope, form, callee, tail);
    if (!is_value(value)) return value;
    --runtime_.frame_count;
    return value;
  }

  // What a body is shaped as: one form that is a call whose head is a symbol and whose operand forms
  // are a proper list of two or three (as a call of `if` is), or anything else.
  LispFunc::BodyShape shape_of_body(Value* body) const {
    using Shape = LispFunc::BodyShape;
    if (body->kind != Kind::Cell || cdr(body) != nil_) return Shape::other;
    Value* form = car(body);
    if (form->kind != Kind::Cell || !is_symbol(car(form))) return Shape::other;
    Value* operands = cdr(form);
    if (operands->kind != Kind::Cell || cdr(operands)->kind != Kind::Cell) return Shape::other;
    Value* rest = cdr(cdr(operands));
    return rest == nil_ || (rest->kind == Kind::Cell && cdr(rest) == nil_) ? Shape::if_shaped : Shape::other;
  }

  // is_if_of_body for a body shaped as a call of `if` takes it, whose head's value is `callee`, a
  // function.
  bool is_if_of_shaped_body(Value* callee) {
    auto* function = as<Function>(callee);
    return function->implementation == runtime_.fast_paths.if_native && function->exec_mode != mode_function &&
           function->exec_mode != mode_macro && !bounded_ && runtime_.frame_count + if_frames <= Runtime::max_frames &&
           stack_here() >= floor_ && records_.has_room();
  }

  // evaluate_in_frame for the one form of a body: a call of `if` goes into the function's record
  // (function_if) when the native takes the form, there is room for its three frames below the
  // limit, and nothing would make its EvalFrame's step hand on.
  Value* evaluate_body_form(Record* combined, Value* form, Environment* scope, bool tail = false) {
    Value* callee = nullptr;
    if (is_if_of_body(form, scope, callee)) return run_if_of_body(combined, form, callee, tail);
    if (!callee || callee->kind != Kind::Function) return evaluate_part(scope, form, tail);
    if (Value* quick = quick_call(runtime_, scope, callee, cdr(form))) return quick;
    return in_record(scope, form, callee, tail);
  }

  // Whether the body's form is a call of `if` that goes into the function's record; `callee` is
  // set to its head's value when it has one.
  bool is_if_of_body(Value* form, Environment* scope, Value*& callee) {
    if (form->kind != Kind::Cell || !look_up_head(scope, car(form), callee)) {
      callee = nullptr;
      return false;
    }
    return callee->kind == Kind::Function && is_if_of_shaped_body(callee) && if_in_place(cdr(form));
  }

  // The call of `if` that is the body of the function called from `combined`, its EvalFrame,
  // CallFrame and native frame counted in that record (function_if). Where the trampoline would
  // step the EvalFrame, the collector may run. `tail` when `combined` is the record
  // evaluate_in_record is stepping, called through run_body_of and call_function_with, all of
  // which pass tail_mark() on untouched: the branch may be left to that loop.
  Value* run_if_of_body(Record* combined, Value* form, Value* if_function, bool tail = false) {
    heap_.safe_point();
    combined->count = combined->state;
    combined->kind = Record::Kind::function_if;
    combined->e = if_function;
    combined->state = uint8_t(Phase::condition);
    runtime_.frame_count += if_frames;
    Value* value = run_if(combined, cdr(form), static_cast<Environment*>(combined->d), tail);
    if (!is_value(value)) return value;
    runtime_.frame_count -= if_frames;
    return value;
  }

  // A function whose call binds its parameters straight from the argument values, with no list:
  // no prelude role or native dispatch that reads the list, parameters that are distinct names
  // each new scope binds without a search, and room below the frame limit for its CallFrame and
  // ExecFrame.
  [[gnu::always_inline]] LispFunc* binds_in_place(Value* callee) const {
    Value* impl = as<Function>(callee)->implementation;
    if (impl->kind != Kind::LispFunc) return nullptr;
    auto* lisp = as<LispFunc>(impl);
    if (lisp->prelude_role || lisp->parameter_shape != LispFunc::ParameterShape::distinct_names ||
        (lisp->generic_shape != LispFunc::GenericShape::other && may_dispatch_natively(runtime_, lisp)))
      return nullptr;
    if (runtime_.frame_count + 2 > Runtime::max_frames) return nullptr;
    return lisp;
  }

  // call_function with the parameters' values in hand (see binds_in_place).
  Value* call_function_with(Record* self, LispFunc* lisp, Value* const* values) {
    self->kind = Record::Kind::function_call;
    ++runtime_.frame_count;
    // Of two slot sizes, each known in advance (working the size out at every call cost more than
    // the smaller slots saved): a call of one parameter, the most common, takes the slot with room
    // for two bindings besides the reserved ones (see Environment::room_for), any other the largest.
    Environment* scope = lisp->binding_count() <= 1 ? make_environment(heap_, lisp->closure, Environment::room_for(1))
                                                    : make_environment(heap_, lisp->closure);
    Value* const* value = values;
    // Distinct names (see binds_in_place); as many as most calls have fit in the new scope's slot.
    if (lisp->parameters_scattered) {
      scope->bind_scattered_in_slot(lisp->parameters, values);
    } else if (lisp->parameters.size() <= Environment::parameters_in_slot) {
      bool scattered = true;
      for (Value* parameter : lisp->parameters) {
        const Name* name = as<NamedSymbol>(parameter)->name;
        scope->bind_new_in_slot(name, *value++);
        scattered = scattered && Environment::is_scattered(name);
      }
      lisp->parameters_scattered = scattered;
    } else {
      for (Value* parameter : lisp->parameters) scope->bind_new(as<NamedSymbol>(parameter)->name, *value++);
    }
    Value* result = run_body_of(self, lisp, scope);
    if (!is_value(result)) return result;
    --runtime_.frame_count;
    return result;
  }

  // A native in place, as CallFrame runs it: its frame is pushed only when it fails.
  [[gnu::noinline]] Value* call_native(NativeFunc* native, Value* arguments, Environment* environment) {
    if (runtime_.frame_count >= Runtime::max_frames) {
      // At the limit CallFrame pushes the native's frame, which fails with the limit's error.
      push(Record{Record::Kind::native_call, 0, 0, environment, native, arguments, nullptr, nullptr, nullptr});
      internal_error("a frame past the limit was pushed");
    }
    ++runtime_.frame_count;
    Value* result;
    try {
      result = native->routine(interpreter_, environment, arguments);
    } catch (...) {
      --runtime_.frame_count;
      push(Record{Record::Kind::native_call, 0, 0, environment, native, arguments, nullptr, nullptr, nullptr});
      throw;
    }
    --runtime_.frame_count;
    return result;
  }

  // if, and, or, for; null for any other resumable native and for a form the native would refuse.
  Value* call_special(ResumableNative* native, Value* arguments, Environment* environment) {
    const FastPaths& paths = runtime_.fast_paths;
    if (native == paths.if_native) return call_if(native, arguments, environment);
    if (native == paths.and_native) return call_logic(native, arguments, environment, true);
    if (native == paths.or_native) return call_logic(native, arguments, environment, false);
    if (native == paths.for_native) return call_for(native, arguments, environment);
    return nullptr;
  }

  [[gnu::noinline]] Value* call_for(ResumableNative* native, Value* arguments, Environment* environment) {
    // A form the native would refuse is left to it, to fail in its own frame.
    if (arguments->kind != Kind::Cell || cdr(arguments)->kind != Kind::Cell || !is_symbol(car(arguments))) return nullptr;
    Value* variable = car(arguments);
    Value* body = cdr(cdr(arguments));
    // A named variable other than the reserved names is a name each body's new scope has not bound.
    bool variable_is_new = variable->kind == Kind::NamedSymbol && !as<NamedSymbol>(variable)->name->reserved();
    Record* self = push(Record{Record::Kind::special, uint8_t(Phase::iterator), 0, environment, native, arguments, nullptr, nullptr, nil_});
    Value* iterator = evaluate_in_frame(environment, car(cdr(arguments)));
    if (!iterator) return nullptr;
    self->c = iterator;
    for (;;) {
      self->state = uint8_t(Phase::element);
      // Where the trampoline steps this loop's frame: a body of quick calls reaches no other safe
      // point, and the values each round made are collected here.
      heap_.safe_point();
      Value* element = next_of_range(iterator);
      if (!element) {
        // The call form exists only for traces: a one-element list holding the variable.
        Value* list = call(environment, iterator, nil_, heap_.make<Cell>(variable, nil_), false);
        if (!list) return nullptr;
        if (list == nil_) break;
        if (list->kind != Kind::Cell) return hand_over(list);
        // An element taken from the list may be nil itself.
        element = car(list);
      } else if (element == nil_) {
        break;
      }
      Environment* scope = make_environment(heap_, environment, Environment::room_for(1));
      if (variable_is_new) scope->bind_new(as<NamedSymbol>(variable)->name, element);
      else scope->bind(variable, element);
      self->d = scope;
      self->state = uint8_t(Phase::body);
      Value* value = execute(body, scope);
      if (!value) return nullptr;
      self->e = value;
    }
    Value* result = self->e;
    pop();
    return result;
  }

  // The next element of an iterator that range made, computed natively, as its call would give it
  // (taken out of the list) with its CallFrame pushed and popped; nil at the end; null when the call
  // takes its frame. The native step declines well before the frame limit, so the frame it saves
  // could not have failed.
  Value* next_of_range(Value* iterator) {
    if (iterator->kind != Kind::Function || as<Function>(iterator)->exec_mode != mode_function) return nullptr;
    Value* impl = as<Function>(iterator)->implementation;
    if (impl->kind != Kind::LispFunc) return nullptr;
    return native_range_next(runtime_, as<LispFunc>(impl));
  }

  Value* call_if(ResumableNative* native, Value* arguments, Environment* environment) {
    if (arguments->kind != Kind::Cell || cdr(arguments)->kind != Kind::Cell) return nullptr;
    Record* self = push(Record{Record::Kind::special, uint8_t(Phase::condition), 0, environment, native, arguments, nullptr, nullptr, nullptr});
    Value* value = run_if(self, arguments, environment);
    if (!value) return nullptr;
    pop();
    return value;
  }

  // The native's phases, kept in `self`'s state: the test, then the branch it picks (left to
  // evaluate_in_record's loop when `tail`, see evaluate_in_frame).
  Value* run_if(Record* self, Value* arguments, Environment* environment, bool tail = false) {
    Value* test = evaluate_in_frame(environment, car(arguments));
    if (!test) return nullptr;
    Value* branch = branch_of(self, arguments, test);
    if (!branch) return hand_over(test);
    return evaluate_in_frame(environment, branch, true, tail);
  }

  // The branch `if` picks on the value of its test, its phase set in `self`'s state; null when
  // the value is no boolean, which the native refuses.
  Value* branch_of(Record* self, Value* arguments, Value* test) {
    if (test == heap_.constants.true_value) {
      self->state = uint8_t(Phase::then_branch);
      return car(cdr(arguments));
    }
    if (test == heap_.constants.false_value) {
      self->state = uint8_t(Phase::else_branch);
      Value* rest = cdr(cdr(arguments));
      return rest->kind == Kind::Cell ? car(rest) : nil_;
    }
    return nullptr;
  }

  // Whether a call of `callee` with `arguments`, handed to evaluate_in_record, would go on into one
  // record there (call_if_in_place) once its record is pushed: the native `if` called as a special
  // form, a form it takes, and room for its three frames below the limit.
  bool is_if_in_place(Value* callee, Value* arguments) const {
    auto* function = as<Function>(callee);
    return function->implementation == runtime_.fast_paths.if_native && function->exec_mode != mode_function &&
           function->exec_mode != mode_macro && runtime_.frame_count + if_frames <= Runtime::max_frames &&
           if_in_place(arguments);
  }

  // A chain of calls of `if`, each the branch the one before picked (as a cond's are), from `form`
  // on, whose head's value is `callee`: each one's record is pushed and stepped as
  // evaluate_in_record, evaluate_call and call_if_in_place would, but in this loop rather than by
  // recursion, so that the chain takes one C frame of the machine stack, not one for each call.
  // When `tail`, the last branch may be left to evaluate_in_record's loop, which then goes on with
  // each of the chain's records as with an if_call's (see resume_left).
  [[gnu::noinline]] Value* run_nested_ifs(Environment* environment, Value* form, Value* callee, bool tail) {
    uint32_t nested = 0;
    Value* value;
    for (;;) {
      Record* self = push(Record{Record::Kind::eval, uint8_t(EvalFrame::State::start), 0, environment, form, callee, nullptr, nullptr, nullptr});
      ++nested;
      if (!may_step()) return hand_over();
      Value* arguments = cdr(form);
      self->c = arguments;
      enter_if_in_place(self);
      Value* test = evaluate_in_frame(environment, car(arguments));
      if (!test) return nullptr;
      Value* branch = branch_of(self, arguments, test);
      if (!branch) return hand_over(test);
      // As evaluate_in_frame would evaluate the branch, with its head looked up once.
      if (branch->kind != Kind::Cell || !look_up_head(environment, car(branch), callee) || callee->kind != Kind::Function) {
        value = evaluate_in_frame(environment, branch, false, tail);
        break;
      }
      if (!is_if_in_place(callee, cdr(branch))) {
        value = quick_call(runtime_, environment, callee, cdr(branch));
        if (!value) value = in_record(environment, branch, callee, tail);
        break;
      }
      form = branch;
    }
    if (!is_value(value)) return value;
    runtime_.frame_count -= nested * if_frames;
    records_.top -= nested;
    return value;
  }

  [[gnu::noinline]] Value* call_logic(ResumableNative* native, Value* arguments, Environment* environment, bool is_and) {
    Value* stop = heap_.constants.boolean(!is_and);
    Value* go_on = heap_.constants.boolean(is_and);
    Record* self = push(Record{Record::Kind::special, uint8_t(Phase::operand), 0, environment, native, arguments, arguments, nullptr, nullptr});
    Value* result = go_on;
    while (self->c->kind == Kind::Cell) {
      Value* operand = car(self->c);
      self->d = operand;
      Value* value = evaluate_in_frame(environment, operand);
      if (!value) return nullptr;
      if (value == stop) {
        result = stop;
        break;
      }
      if (value != go_on) return hand_over(value);
      self->c = cdr(self->c);
    }
    pop();
    return result;
  }

  // ExecFrame: the body's forms in order, the last one's value; the last one left to
  // evaluate_in_record's loop when `tail` (see run_body).
  Value* execute(Value* body, Environment* scope, bool tail = false) {
    Record* self = push(Record{Record::Kind::exec, 0, 0, scope, body, body, nil_, nullptr, nullptr});
    while (self->b->kind == Kind::Cell) {
      Value* form = car(self->b);
      self->b = cdr(self->b);
      Value* value = evaluate_part(scope, form, tail && self->b == nil_);
      if (!is_value(value)) return value;
      self->c = value;
    }
    Value* result = self->c;
    pop();
    return result;
  }

  Interpreter& interpreter_;
  Runtime& runtime_;
  Heap& heap_;
  DirectRecords& records_;
  EvalFrame& base_frame_;
  Record* base_;
  Value** values_base_;
  Value* nil_;
  uintptr_t floor_;
  // Below here on the machine stack, forms are left to evaluate_in_record's loop.
  uintptr_t deep_;
  bool bounded_;
  bool handing_over_ = false;
  Value* pending_value_ = nullptr;
  // The form evaluate_in_frame last left to evaluate_in_record's loop, with its scope and its
  // head's value when it was looked up.
  struct Tail {
    Environment* environment;
    Value* form;
    Value* callee;
  } tail_{};

 public:
  Value* pending_value() const { return pending_value_; }
};

}  // namespace

bool evaluate_directly(Interpreter& interpreter, EvalFrame& base) {
  Direct direct(interpreter, base);
  try {
    if (Value* value = direct.run()) {
      base.result = value;
      base.state = EvalFrame::State::finished;
      return true;
    }
  } catch (...) {
    direct.hand_on();
    throw;
  }
  direct.hand_on();
  // The top frame's child has finished: its result goes to the frame, which may fail on it.
  if (Value* value = direct.pending_value()) interpreter.frames().back()->resume(value);
  return false;
}

}  // namespace brevalon

// The frames the direct evaluator's records stand for (see direct.cpp for the fields of each
// kind of record).
#include "eval/fast/record_frames.h"

#include <vector>

#include "base/errors.h"
#include "eval/eval_frames.h"
#include "eval/fast/dispatch_frame.h"
#include "eval/fast/list_walks.h"
#include "eval/interpreter.h"
#include "eval/native_frames.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/list.h"

namespace brevalon {

namespace {

using Record = DirectRecord;
using Phase = ResumableState::Phase;

class RecordFrames {
 public:
  RecordFrames(Interpreter& interpreter, EvalFrame& base_frame)
      : interpreter_(interpreter),
        runtime_(interpreter.runtime),
        heap_(interpreter.heap),
        base_frame_(base_frame),
        nil_(heap_.constants.nil) {}

  // The frames one record stands for, pushed on the trampoline's stack (or, for the base record,
  // set on the base frame); `values` is where the next values in hand are.
  void become_frames(Record& r, bool is_base, Value**& values) {
    FramePools& pools = heap_.frame_pools;
    if ((r.kind == Record::Kind::function_call || r.kind == Record::Kind::function_if) && !r.c) {
      uint32_t count = r.kind == Record::Kind::function_call ? r.state : r.count;
      r.c = make_list(heap_, values, count);
      values += count;
    }
    bool combined = r.kind == Record::Kind::function_call || r.kind == Record::Kind::if_call || r.kind == Record::Kind::function_if;
    if (is_base) {
      base_frame_.state = combined ? EvalFrame::State::calling : EvalFrame::State(r.state);
      base_frame_.callee = r.b;
      base_frame_.arguments = r.c;
      if (combined) adopt_call_of(r);
      if (r.kind == Record::Kind::eval_with_values) adopt_arguments_of(r, values);
      return;
    }
    Frame* frame = nullptr;
    switch (r.kind) {
      case Record::Kind::eval: {
        auto* eval = new (pools) EvalFrame(r.environment, r.a);
        eval->state = EvalFrame::State(r.state);
        eval->callee = r.b;
        eval->arguments = r.c;
        frame = eval;
        break;
      }
      case Record::Kind::eval_with_values: {
        auto* eval = new (pools) EvalFrame(r.environment, r.a);
        eval->state = EvalFrame::State(r.state);
        eval->callee = r.b;
        eval->arguments = r.c;
        interpreter_.adopt(eval);
        adopt_arguments_of(r, values);
        return;
      }
      case Record::Kind::eval_args: {
        auto* args = new (pools) EvalArgsFrame(heap_, r.environment, r.a);
        args->remaining = r.b;
        args->values.head = r.c;
        args->values.tail = static_cast<Cell*>(r.d);
        frame = args;
        break;
      }
      case Record::Kind::call: {
        auto* call = new (pools) CallFrame(r.a, r.b, r.c, r.environment);
        call->state = CallFrame::State(r.state);
        frame = call;
        break;
      }
      case Record::Kind::exec: {
        auto* exec = new (pools) ExecFrame(r.a, r.environment, nil_);
        exec->next_form = r.b;
        exec->result = r.c;
        frame = exec;
        break;
      }
      case Record::Kind::native_call:
        frame = new (pools) NativeCallFrame(as<NativeFunc>(r.a), r.b, r.environment);
        break;
      case Record::Kind::special: {
        auto* native = as<ResumableNative>(r.a);
        auto* call = new (pools) ResumableNativeCallFrame(native, r.b, r.environment);
        call->state_object = native->factory(pools);
        call->state_object->restore(heap_, r.environment, r.b, Phase(r.state), r.c, r.d, r.e);
        frame = call;
        break;
      }
      case Record::Kind::dispatch: {
        auto* dispatch = new (pools) DispatchFrame(runtime_, as<LispFunc>(r.a), r.b, r.c);
        // The record counted all the frames it stands for already.
        runtime_.frame_count -= DispatchFrame::frames_stood_for - 1;
        dispatch->state = DispatchFrame::State::awaiting_method;
        frame = dispatch;
        break;
      }
      case Record::Kind::function_call:
      case Record::Kind::function_if:
      case Record::Kind::if_call: {
        auto* eval = new (pools) EvalFrame(r.environment, r.a);
        eval->state = EvalFrame::State::calling;
        eval->callee = r.b;
        eval->arguments = r.c;
        interpreter_.adopt(eval);
        adopt_call_of(r);
        return;
      }
      case Record::Kind::map_walk:
      case Record::Kind::filter_walk:
      case Record::Kind::reduce_walk:
        internal_error("a loop's record was not expanded");
    }
    interpreter_.adopt(frame);
  }

  // The EvalArgsFrame an eval_with_values record stands for above its EvalFrame.
  void adopt_arguments_of(const Record& r, Value**& values) {
    auto* args = new (heap_.frame_pools) EvalArgsFrame(heap_, r.environment, cdr(r.a));
    args->remaining = r.d;
    for (uint32_t i = 0; i < r.count; ++i) args->values.append(heap_, values[i]);
    values += r.count;
    interpreter_.adopt(args);
  }

  // The frames a combined record stands for above its EvalFrame.
  void adopt_call_of(const Record& r) {
    FramePools& pools = heap_.frame_pools;
    auto* call = new (pools) CallFrame(r.b, r.c, r.a, r.environment);
    call->state = CallFrame::State::awaiting_result;
    interpreter_.adopt(call);
    if (r.kind == Record::Kind::if_call) {
      auto* native = as<ResumableNative>(as<Function>(r.b)->implementation);
      auto* frame = new (pools) ResumableNativeCallFrame(native, r.c, r.environment);
      frame->state_object = native->factory(pools);
      frame->state_object->restore(heap_, r.environment, r.c, Phase(r.state), nullptr, nullptr, nullptr);
      interpreter_.adopt(frame);
    } else if (r.d) {
      Value* body = as<LispFunc>(as<Function>(r.b)->implementation)->body;
      auto* scope = static_cast<Environment*>(r.d);
      auto* exec = new (pools) ExecFrame(body, scope, nil_);
      exec->next_form = cdr(body);
      interpreter_.adopt(exec);
      if (r.kind == Record::Kind::function_if) {
        Value* if_form = car(body);
        Record if_call{Record::Kind::if_call, r.state, 0, scope, if_form, r.e, cdr(if_form), nullptr, nullptr};
        Value** no_values = nullptr;
        become_frames(if_call, false, no_values);
      }
    }
  }

 private:
  Interpreter& interpreter_;
  Runtime& runtime_;
  Heap& heap_;
  EvalFrame& base_frame_;
  Value* nil_;
};

}  // namespace

void records_become_frames(Interpreter& interpreter, EvalFrame& base_frame, DirectRecord* first, DirectRecord* end,
                           Value** values) {
  RecordFrames frames(interpreter, base_frame);
  std::vector<Record> walk_records;
  for (Record* record = first; record != end; ++record) {
    if (!record->is_walk()) {
      frames.become_frames(*record, record == first, values);
      continue;
    }
    walk_records.clear();
    if (record->kind == Record::Kind::map_walk) expand_map_walk(interpreter.runtime, *record, walk_records);
    else if (record->kind == Record::Kind::filter_walk) expand_filter_walk(interpreter, *record, walk_records);
    else expand_reduce_walk(interpreter.runtime, *record, walk_records);
    for (Record& walk_record : walk_records) frames.become_frames(walk_record, false, values);
  }
}

}  // namespace brevalon

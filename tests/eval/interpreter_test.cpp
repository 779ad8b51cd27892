// Unit tests of the frame machine and the runners: deep recursion, traces, banners, collection mid-run.
#include "eval/interpreter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "../support/test_runtime.h"
#include "eval/driver.h"
#include "base/errors.h"
#include "eval/eval_frames.h"
#include "eval/runners.h"
#include "printer/printer.h"
#include "startup/global_environment.h"

namespace brevalon {
extern const std::string_view startup_image;

namespace {

using testing_support::global;
using testing_support::heap;
using testing_support::integer;
using testing_support::list;
using testing_support::runtime;
using testing_support::string;
using testing_support::symbol;

Value* run(std::string_view program) { return do_string(runtime(), program); }

// Runs a program that must fail with error kind E; returns what it wrote.
template <typename E>
std::string failing_output(std::string_view program) {
  ::testing::internal::CaptureStdout();
  bool raised = false;
  try {
    run(program);
  } catch (const E&) {
    raised = true;
  }
  std::string output = ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(raised) << program;
  return output;
}

int64_t integer_value(Value* value) {
  EXPECT_EQ(value->kind, Kind::Integer);
  return value->kind == Kind::Integer ? as<Integer>(value)->value : -1;
}

TEST(Interpreter, AFunctionRecursingAHundredThousandDeepReturns) {
  Value* result = run(
      "(define count-down (fn (n) (if (= n 0) 0 (+ 1 (count-down (- n 1))))))"
      "(count-down 100000)");
  EXPECT_EQ(integer_value(result), 100000);
}


// Where the machine stack is when a native runs: a native bound as machine-stack-here.
Value* machine_stack_here(Interpreter& interpreter, Environment*, Value*) {
  return interpreter.heap.make<Integer>(static_cast<int64_t>(reinterpret_cast<uintptr_t>(__builtin_frame_address(0))));
}

TEST(Interpreter, RecursionsThroughABodysLastFormAnIfsBranchOrAnArgumentTakeNoMachineStackForEachLevel) {
  // The prelude's `if` is what such bodies call: a run of its own, from the start-up image.
  Runtime own;
  build_global_environment(own, startup_image);
  Heap& own_heap = own.heap;
  own.global->bind(own_heap.make<NamedSymbol>(own_heap.names.intern("machine-stack-here")),
                   own_heap.make<Function>(mode_function, own_heap.make<NativeFunc>("machine-stack-here", machine_stack_here)));
  auto stack_at = [&own](std::string_view program) { return integer_value(do_string(own, program)); };
  do_string(own,
            "(def (down n) (if (= n 0) (machine-stack-here) (down (- n 1))))"
            "(def (first n) (if (= n 0) (machine-stack-here) (- (first (- n 1)) 0)))"
            "(def (nested n) (if (= n 0) (machine-stack-here) (- (* 1 (nested (- n 1))) 0)))"
            "(def (last n) (if (= n 0) (machine-stack-here) (- 0 (last (- n 1)))))"
            "(def (through-let n) (let m (- n 1) (if (= n 0) (machine-stack-here) (through-let m))))"
            "(def (two-forms n) n (if (= n 0) (machine-stack-here) (two-forms (- n 1))))"
            "(def (chained n) (if (= n 0) (machine-stack-here) (if (= n 5000000) 0 (chained (- n 1)))))"
            "(def (outer n) (inner n))"
            "(def (inner n) (if (= n 0) (machine-stack-here) (outer (- n 1))))"
            "(define bottom 0)"
            "(def (tested n) (if (= n 0) (set-symbol (quote bottom) (machine-stack-here))"
            "                    (if (tested (- n 1)) true false)))");
  int64_t shallow = stack_at("(down 1)");
  // 20,000 levels of a C frame each would be megabytes; the stack grows down. Such forms are left
  // to the loop once the recursion is a quarter of a MiB deep.
  for (const char* call : {"(down 20000)", "(first 20000)", "(nested 20000)", "(last 20000)", "(through-let 20000)",
                           "(two-forms 20000)", "(outer 20000)", "(chained 20000)"})
    EXPECT_LT(shallow - stack_at(call), 320 * 1024) << call;
  // With the recursion in an if's test, each level takes its C frames: 800 levels take more
  // machine stack than 400 do, by more than 128 bytes a level. Both stay above where a direct
  // evaluation hands over to the trampoline, in a sanitized build too (whose frames are ten times
  // larger), so the measure is never of where a hand-over happened to leave the recursion.
  auto tested_stack = [&](const char* call) {
    do_string(own, call);
    return shallow - stack_at("bottom");
  };
  EXPECT_GT(tested_stack("(tested 800)") - tested_stack("(tested 400)"), 400 * 128);
}

TEST(Interpreter, ValuesMadeDuringARunSurviveTheCollectionsItTriggers) {
  // The next collection waits for what the last one marked: start from this test's small heap, not
  // from the pending frames of an earlier test's deep recursion.
  heap().collect();
  size_t collections = heap().collections();
  Value* result = run(
      "(define build (fn (n acc) (if (= n 0) acc (build (- n 1) (cons (list n \"payload\") acc)))))"
      "(build 100000 nil)");
  EXPECT_GT(heap().collections(), collections);
  int64_t expected = 1;
  for (Value* item = result; item->kind == Kind::Cell; item = cdr(item), ++expected) {
    ASSERT_EQ(integer_value(car(car(item))), expected);
    ASSERT_EQ(as<String>(car(cdr(car(item))))->text, "payload");
  }
  EXPECT_EQ(expected, 100001);
}

TEST(Interpreter, AFailingRunPrintsItsTraceFailingFrameFirst) {
  EXPECT_EQ(failing_output<LispError>("(define trace-g (fn (x) (trace-h x))) (trace-g 1)"),
            "Error during evaluation at:\n"
            "EvalFrame: trace-h\n"
            "EvalFrame: (trace-h x)\n"
            "ExecFrame: ((trace-h x))\n"
            "CallFrame: (trace-g 1)\n"
            "EvalFrame: (trace-g 1)\n"
            "Error: Symbol trace-h is undefined\n");
}

TEST(Interpreter, FormsBeforeAFailingFormHaveRun) {
  EXPECT_EQ(failing_output<LispError>("(print \"first\") (print undefined-thing) (print \"never\")"),
            "first\n"
            "Error during evaluation at:\n"
            "EvalFrame: undefined-thing\n"
            "EvalArgsFrame: (undefined-thing)\n"
            "EvalFrame: (print undefined-thing)\n"
            "Error: Symbol undefined-thing is undefined\n");
}

TEST(Interpreter, ATraceLineHoldingANewlineBecomesTwoReversedLines) {
  EXPECT_EQ(failing_output<LispError>("(list \"a\nb\" undefined-y)"),
            "Error during evaluation at:\n"
            "EvalFrame: undefined-y\n"
            "b\" undefined-y)\n"
            "EvalArgsFrame: (\"a\n"
            "b\" undefined-y)\n"
            "EvalFrame: (list \"a\n"
            "Error: Symbol undefined-y is undefined\n");
}

TEST(Interpreter, AnInternalErrorGetsTheInternalBannerAndNoErrorLine) {
  EXPECT_EQ(failing_output<InternalError>("(car 5)"),
            "Internal error during execution at:\n"
            "NativeCallFrame: car\n"
            "CallFrame: (car 5)\n"
            "EvalFrame: (car 5)\n");
}

TEST(Interpreter, TheTraceOfADeepFailureHoldsOneGroupOfLinesPerPendingCall) {
  std::string output = failing_output<InternalError>(
      "(define deep-fail (fn (n) (if (= n 0) (car 5) (+ 1 (deep-fail (- n 1))))))"
      "(deep-fail 1000)");
  size_t calls = 0;
  for (size_t at = output.find("\nCallFrame: (deep-fail (- n 1))\n"); at != std::string::npos;
       at = output.find("\nCallFrame: (deep-fail (- n 1))\n", at + 1))
    ++calls;
  EXPECT_EQ(calls, 1000u);
  EXPECT_EQ(output.substr(0, output.find('\n', output.find('\n') + 1)),
            "Internal error during execution at:\nNativeCallFrame: car");
  EXPECT_TRUE(output.ends_with("CallFrame: (deep-fail 1000)\nEvalFrame: (deep-fail 1000)\n"));
}

TEST(Interpreter, UnboundSymbolsAreNamedByTextOrNumber) {
  const std::pair<Value*, std::string> cases[] = {
      {testing_support::generated(140), "Symbol 140 is undefined"},
      {symbol("parent-scope"), "Symbol parent-scope is undefined"},
  };
  for (const auto& [form, message] : cases) {
    ::testing::internal::CaptureStdout();
    try {
      evaluate_new(runtime(), form);
      ADD_FAILURE() << message;
    } catch (const LispError& error) {
      EXPECT_EQ(error.message, message);
    }
    std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(output.ends_with("Error: " + message + "\n")) << output;
  }
}

TEST(Interpreter, TheNestedCallRunnerReportsWithItsOwnBanner) {
  Value* arguments = list({symbol("oops"), string("bad")});
  heap().push_root(arguments);
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(compute_new(runtime(), global("error"), arguments), LispError);
  heap().pop_root(arguments);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Error during execution at:\n"
            "NativeCallFrame: error\n"
            "CallFrame: nil\n"
            "Error: Error: oops: \"bad\"\n");
}

TEST(Interpreter, AFinishedInterpreterHasNothingToDo) {
  Interpreter interpreter(runtime(), new (runtime().heap.frame_pools) EvalFrame(runtime().global, integer(5)));
  interpreter.run();
  EXPECT_EQ(interpreter.display(), "(nothing to do)");
  EXPECT_EQ(interpreter.trace_lines(), std::vector<std::string>{"(nothing to do)"});
  EXPECT_EQ(integer_value(interpreter.result()), 5);
  EXPECT_TRUE(interpreter.next_step());
}

TEST(Interpreter, SteppingShowsTheRootFrameFirstUntilTheWorkIsDone) {
  Value* form = list({symbol("list"), list({symbol("list"), integer(1)})});
  Interpreter interpreter(runtime(), new (runtime().heap.frame_pools) EvalFrame(runtime().global, form));
  size_t deepest = 1;
  for (int steps = 0; !interpreter.next_step(); ++steps) {
    ASSERT_LT(steps, 100);
    std::string text = interpreter.display();
    EXPECT_EQ(text.substr(0, text.find('\n')), "EvalFrame: (list (list 1))");
    deepest = std::max<size_t>(deepest, std::count(text.begin(), text.end(), '\n') + 1);
  }
  // The root, the argument list, the inner call; the direct evaluator does it all in the root's step.
  if (!fast_paths_built) {
    EXPECT_GE(deepest, 3u);
  }
  EXPECT_EQ(interpreter.display(), "(nothing to do)");
  EXPECT_EQ(represent(interpreter.result()), "((1))");
}

}  // namespace
}  // namespace brevalon

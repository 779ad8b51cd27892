// The three runners and their error reports.
#include "eval/runners.h"

#include "base/errors.h"
#include "eval/diagnostic.h"
#include "eval/eval_frames.h"
#include "eval/expand_frames.h"
#include "eval/interpreter.h"
#include "base/output.h"
#include "base/stack_guard.h"
#include "values/names.h"
#include "values/list.h"
#include "values/symbol.h"

namespace brevalon {

namespace {

struct Banners {
  const char* error;
  const char* internal;
};

void report(Interpreter& interpreter, const char* banner, const std::string* message) {
  std::vector<std::string> lines;
  lines.emplace_back(banner);
  for (std::string& line : interpreter.trace_lines()) lines.push_back(std::move(line));
  if (message) lines.push_back("Error: " + *message);
  write_lines(lines);
}

Value* run(Runtime& runtime, Frame* root, Banners banners) {
  if (runtime.runner_depth >= Runtime::max_runner_depth || stack_nearly_full()) {
    delete root;
    internal_error("runs nested more than " + std::to_string(Runtime::max_runner_depth) +
                   " deep (print or macroexpand calling itself?)");
  }
  Interpreter interpreter(runtime, root);
  struct Depth {
    explicit Depth(Runtime& r) : runtime(r) { ++runtime.runner_depth; }
    ~Depth() { --runtime.runner_depth; }
    Runtime& runtime;
  } depth(runtime);
  try {
    interpreter.run();
    return interpreter.result();
  } catch (...) {
    Failure failure = current_failure();
    try {
      record_pending_forms(runtime, interpreter, failure);
    } catch (...) {
      // Without memory for the diagnostic's entries, the error still leaves with its report.
    }
    bool program = failure.kind == Failure::Kind::program;
    report(interpreter, program ? banners.error : banners.internal, program ? &failure.text : nullptr);
    failure.raise();
  }
}

}  // namespace

Value* expand_new(Runtime& runtime, Environment* environment, Value* form) {
  return run(runtime, new (runtime.heap.frame_pools) ExpandFrame(environment, form),
             {"Error during expansion at:", "Internal error during expansion at:"});
}

Value* evaluate_new(Runtime& runtime, Value* form) {
  return run(runtime, new (runtime.heap.frame_pools) EvalFrame(runtime.global, form),
             {"Error during evaluation at:", "Internal error during execution at:"});
}

Value* compute_new(Runtime& runtime, Value* callee, Value* arguments) {
  return run(runtime, new (runtime.heap.frame_pools) CallFrame(callee, arguments, runtime.heap.constants.nil, runtime.global),
             {"Error during execution at:", "Internal error during execution at:"});
}

Value* call_to_string(Runtime& runtime, Value* value) {
  NamedSymbol symbol(runtime.heap.names.to_string);
  Value* callee = runtime.global->lookup(&symbol);
  if (!callee) lisp_error("Symbol to-string is undefined");
  return compute_new(runtime, callee, runtime.heap.make<Cell>(value, runtime.heap.constants.nil));
}

}  // namespace brevalon

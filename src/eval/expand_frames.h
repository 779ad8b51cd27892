// The expansion frames: one form, and every element of a list form.
#pragma once
#include "eval/frame.h"
#include "values/list.h"

namespace brevalon {

struct Environment;
class Heap;

struct ExpandFrame final : Frame, Pooled<ExpandFrame> {
  ExpandFrame(Environment* env, Value* f) : environment(env), form(f) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override;
  Value* finish() override { return result; }
  std::string display() override;
  void visit_edges(Visitor& visit) override;

  // A macro call waits for the macro's output, then for that output's own expansion; any other list
  // form waits for the expansion of its elements.
  enum class State : uint8_t { start, awaiting_macro_output, awaiting_expansion };

  Environment* environment;
  Value* form;
  State state = State::start;
  Value* result = nullptr;
};

struct ExpandAllFrame final : Frame, Pooled<ExpandAllFrame> {
  ExpandAllFrame(Heap& h, Environment* env, Value* l) : heap(h), environment(env), list(l), remaining(l) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override { values.append(heap, value); }
  Value* finish() override { return values.finish(heap); }
  std::string display() override;
  void visit_edges(Visitor& visit) override;

  Heap& heap;
  Environment* environment;
  Value* list;
  Value* remaining;
  ListBuilder values;
};

}  // namespace brevalon

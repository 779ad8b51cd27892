// The expansion frames: one form, and every element of a list form.
#pragma once
#include "eval/frame.h"
#include "values/list.h"

namespace brevalon {

struct Environment;
class Heap;

struct ExpandFrame final : Frame, Pooled<ExpandFrame> {
  // `origin` is the nearest form around this one that was read from a file: a list the expansion
  // makes where the source had none (the output of a macro) is found at the origin's position.
  ExpandFrame(Environment* env, Value* f, Value* from = nullptr) : environment(env), form(f), origin(from) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override;
  Value* finish() override { return result; }
  std::string display() override;
  Value* source_form() override { return form; }
  void visit_edges(Visitor& visit) override;

  // A macro call waits for the macro's output, then for that output's own expansion; any other list
  // form waits for the expansion of its elements.
  enum class State : uint8_t { start, awaiting_macro_output, awaiting_expansion, awaiting_elements };

  Environment* environment;
  Value* form;
  Value* origin;
  State state = State::start;
  Value* result = nullptr;
};

struct ExpandAllFrame final : Frame, Pooled<ExpandAllFrame> {
  ExpandAllFrame(Heap& h, Environment* env, Value* l, Value* from)
      : heap(h), environment(env), list(l), origin(from), remaining(l) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override { values.append(heap, value); }
  Value* finish() override { return values.finish(heap); }
  std::string display() override;
  void visit_edges(Visitor& visit) override;

  Heap& heap;
  Environment* environment;
  Value* list;
  Value* origin;  // handed to the elements' expansions
  Value* remaining;
  ListBuilder values;
};

}  // namespace brevalon

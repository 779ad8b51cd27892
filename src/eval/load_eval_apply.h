// Run-time loading: the LoadFrame reads, expands and evaluates the forms of a loaded text one at a time.
#pragma once
#include <string>

#include "eval/frame.h"
#include "eval/resumable.h"
#include "reader/source_positions.h"
#include "values/list.h"

namespace brevalon {

struct Environment;

// The load, eval and apply natives.
ResumableState* make_load_state(FramePools& pools);
ResumableState* make_eval_state(FramePools& pools);
ResumableState* make_apply_state(FramePools& pools);

struct LoadFrame final : Frame {
  // An empty text gives nil. `shown` names the file as diagnostics do: as a path from where the
  // program started.
  LoadFrame(Environment* env, std::string t, std::string name, Value* nil, SourcePositions& positions,
            std::string shown)
      : environment(env), text(std::move(t)), file_name(std::move(name)), source(positions, std::move(shown)),
        current(nil) {}
  bool next_step(Interpreter& interpreter) override;
  void resume(Value* value) override { current = value; }
  Value* finish() override { return current; }
  std::string display() override { return "LoadFrame: " + file_name; }
  void visit_edges(Visitor& visit) override;

  Environment* environment;
  std::string text;
  std::string file_name;
  SourceFile source;
  int64_t position = 0;
  // Each form is read, then expanded, then evaluated, before the next is read.
  enum class State : uint8_t { reading, expanding, evaluating, finishing_form };

  Value* current;
  State state = State::reading;
};

}  // namespace brevalon

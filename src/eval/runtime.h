// The state one run owns: its heap (with the constants and names), global environment and counters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "eval/diagnostic.h"
#include "eval/fast/direct.h"
#include "eval/fast_paths.h"
#include "memory/heap.h"
#include "reader/source_positions.h"
#include "values/environment.h"

namespace brevalon {

struct ResumableNative;

// The natives a quasiquotation pushes for its parts, made at start-up and held in `permanent`.
struct QuasiquoteNatives {
  ResumableNative* unquote = nullptr;
  ResumableNative* unquote_splicing = nullptr;
  ResumableNative* nested = nullptr;
};

struct Runtime final : RootSet {
  Runtime();
  ~Runtime();
  void visit_roots(Visitor& visit) override;

  Heap heap;
  SourcePositions positions{heap};  // where the forms read from files start
  // What the runners an error left saw of their frames, for the driver's diagnostic.
  PendingForms pending_forms;
  Environment* global = nullptr;
  int64_t num_symbol_generator = 0;
  FastPaths fast_paths;
  DirectRecords direct;  // the frames direct evaluation stands for
  QuasiquoteNatives quasiquote;
  size_t frame_count = 0;   // frames pending in every running interpreter
  int runner_depth = 0;     // interpreters running inside one another
  std::vector<Value*> permanent;  // values made at start-up that no binding holds
  // The program file, then each file being loaded, as a diagnostic names them; an error leaves the
  // file it happened in on top.
  std::vector<std::string> files;
  // A harness that runs arbitrary programs (the fuzzers) bounds their work and their heap here;
  // past either bound a step ends the run with an internal error. A normal run is unbounded.
  size_t step_budget = SIZE_MAX;
  size_t live_bytes_budget = SIZE_MAX;
  // Whether a harness set either bound. The trampoline counts the step budget down in every run,
  // but one left at SIZE_MAX is never spent: a run that old would have run for centuries.
  bool bounded() const { return step_budget < SIZE_MAX / 2 || live_bytes_budget != SIZE_MAX; }

  // Beyond these a run ends with an orderly internal error, long before memory or stack runs out.
  static constexpr size_t max_frames = 4'000'000;
  static constexpr int max_runner_depth = 400;
};

}  // namespace brevalon

// load, eval and apply: run code a program reads or builds on the caller's own frame stack.
#include "eval/load_eval_apply.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "eval/arguments.h"
#include "eval/diagnostic.h"
#include "eval/driver.h"
#include "base/errors.h"
#include "eval/eval_frames.h"
#include "eval/expand_frames.h"
#include "eval/interpreter.h"
#include "reader/reader.h"

namespace brevalon {

bool LoadFrame::next_step(Interpreter& interpreter) {
  switch (state) {
    case State::reading: {
      auto read = next_expr(interpreter.heap, text, position, &source);
      if (!read) {
        warn_of_stray_close_paren(source, text, position, "the loaded file");
        return true;
      }
      position = read->position;
      current = read->value;
      state = State::expanding;
      return false;
    }
    case State::expanding:
      state = State::evaluating;
      interpreter.push(new (interpreter.heap.frame_pools) ExpandFrame(environment, current));
      return false;
    case State::evaluating:
      state = State::finishing_form;
      interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, current));
      return false;
    case State::finishing_form:
      state = State::reading;
      return false;
  }
  return true;
}

void LoadFrame::visit_edges(Visitor& visit) {
  visit(environment);
  visit(current);
}

namespace {

// Enough for most paths; a longer one doubles the buffer until it fits.
constexpr size_t initial_path_bytes = 256;

std::string current_directory() {
  std::string buffer(initial_path_bytes, '\0');
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) internal_error(std::string("load: cannot read the working directory: ") + std::strerror(errno));
    buffer.resize(buffer.size() * 2);
  }
  return buffer.c_str();
}

void change_directory(const std::string& directory) {
  if (chdir(directory.c_str()) != 0)
    internal_error("load: cannot enter directory '" + directory + "': " + std::strerror(errno));
}

// A path as seen from where the program started: a relative path is loaded from the directory of the
// file that loads it.
std::string path_from_start(const std::string& loader, const std::string& path) {
  size_t slash = loader.rfind('/');
  if (path.starts_with('/') || slash == std::string::npos) return path;
  return loader.substr(0, slash + 1) + path;
}

struct LoadState final : ResumableState {
  void init(Interpreter&, Environment* env, Value* arguments) override {
    Arguments args("load", arguments);
    path = args.string(0)->text;
    environment = args.count() > 1 ? args.environment(1) : nullptr;
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
      file_name = path;
    } else {
      file_name = path.substr(slash + 1);
      // Trailing slashes go, unless the directory is made of slashes only.
      size_t last = path.find_last_not_of('/', slash);
      directory = last == std::string::npos ? std::string(1, '/') : path.substr(0, last + 1);
    }
    (void)env;
  }
  bool next_step(Interpreter& interpreter) override {
    switch (state) {
      case State::entering: {
        std::vector<std::string>& files = interpreter.runtime.files;
        std::string shown = path_from_start(files.empty() ? std::string() : files.back(), path);
        files.push_back(shown);
        saved_directory = current_directory();
        if (!directory.empty()) change_directory(directory);
        std::string text = read_whole_file(file_name);
        Environment* target = environment ? environment : interpreter.runtime.global;
        interpreter.push(new LoadFrame(target, std::move(text), path, interpreter.heap.constants.nil,
                                       interpreter.runtime.positions, std::move(shown)));
        return false;
      }
      case State::loaded:
        if (!directory.empty()) change_directory(saved_directory);
        interpreter.runtime.files.pop_back();
        break;
    }
    return true;
  }
  void resume(Value* value) override {
    result_value = value;
    state = State::loaded;
  }
  Value* result(Heap&) override { return result_value; }
  void visit_edges(Visitor& visit) override {
    visit(environment);
    visit(result_value);
  }

  std::string path, directory, file_name, saved_directory;
  Environment* environment = nullptr;
  Value* result_value = nullptr;
  // Once the file's forms have run, the working directory and the current file are restored.
  enum class State : uint8_t { entering, loaded };
  State state = State::entering;
};

struct EvalState final : ResumableState {
  void init(Interpreter& interpreter, Environment*, Value* arguments) override {
    Arguments args("eval", arguments);
    args.require(2);
    interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(args.environment(0), args.at(1)));
  }
  bool next_step(Interpreter&) override { return true; }
  void resume(Value* value) override { result_value = value; }
  Value* result(Heap&) override { return result_value; }
  void visit_edges(Visitor& visit) override { visit(result_value); }
  Value* result_value = nullptr;
};

struct ApplyState final : ResumableState {
  void init(Interpreter& interpreter, Environment* environment, Value* arguments) override {
    Arguments args("apply", arguments);
    args.require(2);
    if (!is_proper_list(interpreter.heap, args.at(1))) args.wrong_kind(1, "a proper list");
    interpreter.push(new (interpreter.heap.frame_pools) CallFrame(args.at(0), args.at(1), interpreter.heap.constants.nil, environment));
  }
  bool next_step(Interpreter&) override { return true; }
  void resume(Value* value) override { result_value = value; }
  Value* result(Heap&) override { return result_value; }
  void visit_edges(Visitor& visit) override { visit(result_value); }
  Value* result_value = nullptr;
};

}  // namespace

ResumableState* make_load_state(FramePools& pools) { return make_state<LoadState>(pools); }
ResumableState* make_eval_state(FramePools& pools) { return make_state<EvalState>(pools); }
ResumableState* make_apply_state(FramePools& pools) { return make_state<ApplyState>(pools); }

}  // namespace brevalon

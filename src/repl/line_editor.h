// Line editing and the history file of the interactive session, through libedit.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace brevalon::repl {

struct LineRead {
  enum class State { line, end_of_input, interrupted };
  State state;
  std::string text;  // the line without its newline
};

// The names Tab completes, asked for afresh at each completion since definitions come and go.
using NameSource = std::function<std::vector<std::string>()>;

// One editor at a time: libedit's state belongs to the process.
class LineEditor {
 public:
  // An empty path keeps the history for this session only.
  LineEditor(std::string history_path, NameSource names);
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // One line, or the end of input (Control-D), or Control-C pressed while it was being typed.
  LineRead read_line(const char* prompt);
  // Adds a line to the history and saves the history file, so a session that is killed keeps it.
  void remember(const std::string& line);

 private:
  std::string history_path_;
  NameSource names_;
};

// ~/.brevalon_history, or empty when HOME is not set.
std::string default_history_path();

}  // namespace brevalon::repl

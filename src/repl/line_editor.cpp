// The libedit calls behind the session's prompt: reading a line, the history and its file.
#include "repl/line_editor.h"

#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <editline/readline.h>

namespace brevalon::repl {

namespace {
// The history file keeps the newest lines only, so it never grows without bound.
constexpr int history_lines_kept = 1000;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void note_interrupt(int) { interrupted = 1; }

// While a line is being read, Control-C abandons it instead of ending the process: the handler
// only notes it, and the read it interrupts returns. Evaluation keeps the default, so a form that
// runs forever can still be stopped.
class InterruptsAbandonTheLine {
 public:
  InterruptsAbandonTheLine() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = note_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the read must return
    sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptsAbandonTheLine() { sigaction(SIGINT, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

// libedit's callbacks carry no context: completion reaches the editor's names through these.
const NameSource* completion_source = nullptr;
std::vector<std::string> candidates;
size_t next_candidate = 0;

// A word to complete ends at what ends a symbol or starts another form.
char word_breaks[] = " \t\n()'`,\";#";

// libedit calls this with state 0 for a new word, then again for each further match.
char* candidate(const char* text, int state) {
  if (state == 0) {
    candidates.clear();
    next_candidate = 0;
    size_t length = std::strlen(text);
    for (std::string& name : (*completion_source)()) {
      if (name.compare(0, length, text) == 0) candidates.push_back(std::move(name));
    }
  }
  if (next_candidate >= candidates.size()) return nullptr;
  return strdup(candidates[next_candidate++].c_str());
}

char** complete(const char* text, int, int) {
  rl_attempted_completion_over = 1;  // never fall back to file names
  if (!completion_source || !*text) return nullptr;
  return rl_completion_matches(text, candidate);
}

}  // namespace

LineEditor::LineEditor(std::string history_path, NameSource names)
    : history_path_(std::move(history_path)), names_(std::move(names)) {
  // libedit decodes what is typed by the locale's character type, and in the C locale it drops
  // every byte beyond ASCII: take the user's, or UTF-8 when that has single-byte characters.
  // Only the character type changes; numbers are still formatted as in the C locale.
  if (!std::setlocale(LC_CTYPE, "") || MB_CUR_MAX == 1) std::setlocale(LC_CTYPE, "C.UTF-8");
  rl_readline_name = "brevalon";
  // Tab completes the names bound in the global environment, never file names.
  completion_source = &names_;
  rl_attempted_completion_function = complete;
  rl_completer_word_break_characters = word_breaks;
  // The session's own handler, installed around each read, decides what Control-C does.
  rl_catch_signals = 0;
  stifle_history(history_lines_kept);
  // A missing history file is a first session, not an error.
  if (!history_path_.empty()) read_history(history_path_.c_str());
}

LineEditor::~LineEditor() { completion_source = nullptr; }

LineRead LineEditor::read_line(const char* prompt) {
  char* line;
  {
    InterruptsAbandonTheLine guard;
    line = readline(prompt);
  }
  if (interrupted) {
    std::free(line);
    return {LineRead::State::interrupted, ""};
  }
  if (!line) return {LineRead::State::end_of_input, ""};
  std::string text(line);
  std::free(line);
  return {LineRead::State::line, std::move(text)};
}

void LineEditor::remember(const std::string& line) {
  if (line.find_first_not_of(" \t") == std::string::npos) return;
  add_history(line.c_str());
  // An unwritable history file costs only the history, never the session.
  if (!history_path_.empty()) write_history(history_path_.c_str());
}

std::string default_history_path() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return "";
  return std::string(home) + "/.brevalon_history";
}

}  // namespace brevalon::repl

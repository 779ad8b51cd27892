// The error kinds: LispError raised by programs and built-ins, and the internal errors that end a run.
#pragma once
#include <string>

namespace brevalon {

// The language's own error: reported with "Error: " + message, exit status 1.
struct LispError {
  std::string message;
};

// A broken rule of the interpreter (a wrong argument count, a failed file operation...).
// The note is one line for standard error; it is never written to standard output.
struct InternalError {
  explicit InternalError(std::string n) : note(std::move(n)) {}
  std::string note;
};

// The reader's error. Its message line, if any, was written to standard output already.
struct SyntaxError {
  explicit SyntaxError(std::string n) : note(std::move(n)) {}
  std::string note;
};

[[noreturn]] inline void lisp_error(std::string message) { throw LispError{std::move(message)}; }
[[noreturn]] inline void internal_error(std::string note) { throw InternalError(std::move(note)); }

}  // namespace brevalon

// The error kinds: LispError raised by programs and built-ins, and the internal errors that end a run.
#pragma once
#include <exception>
#include <new>
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

// The reader's error. Its message line, if any, was written to standard output already; the note
// is for standard error, and may add lines that say more.
struct SyntaxError {
  explicit SyntaxError(std::string n, std::string at = {}) : note(std::move(n)), location(std::move(at)) {}
  std::string note;
  std::string location;  // "FILE:LINE:COL" of the text at fault, when it was read from a file
};

// An error that left a run, sorted once for every place that reports it: each runner prints its
// trace banner by kind, and the driver turns the kind into a note and an exit status.
struct Failure {
  enum class Kind { program, syntax, internal };
  Kind kind;
  std::string text;  // a program error's message, or the note of the other kinds
  std::string location = {};  // where a syntax error's text is at fault, if known

  // Throws the error again as the kind it was sorted into: running out of memory becomes internal.
  [[noreturn]] void raise() const {
    switch (kind) {
      case Kind::program:
        throw LispError{text};
      case Kind::syntax:
        throw SyntaxError(text, location);
      case Kind::internal:
        break;
    }
    throw InternalError(text);
  }
};

// Sorts the exception being handled; call it only inside a catch block. Any other exception
// passes through unsorted, as it would without the catch.
inline Failure current_failure() {
  try {
    throw;
  } catch (const LispError& error) {
    return {Failure::Kind::program, error.message};
  } catch (const SyntaxError& error) {
    return {Failure::Kind::syntax, error.note, error.location};
  } catch (const InternalError& error) {
    return {Failure::Kind::internal, error.note};
  } catch (const std::bad_alloc&) {
    return {Failure::Kind::internal, "out of memory"};
  }
}

[[noreturn]] inline void lisp_error(std::string message) { throw LispError{std::move(message)}; }
[[noreturn]] inline void internal_error(std::string note) { throw InternalError(std::move(note)); }

}  // namespace brevalon

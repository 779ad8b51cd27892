// The diagnostic on standard error for an error that ends a run: where, what, and how the run got there.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "values/value.h"

namespace brevalon {

struct Failure;
class Interpreter;
struct Runtime;
class SourceFile;

// The pending forms of the runs an error has left, innermost first, as each runner saw them on its
// way out. Entries refer to forms without keeping them alive: the driver reads them before any
// interpreter steps again, so no collection comes between.
struct PendingForms {
  struct Entry {
    Value* form;      // a form read from a file; null stands for frames inside the prelude
    uint64_t frames;  // the frames that belong to the entry
  };
  std::vector<Entry> entries;
  // A clearer message than the error's own, found while the frames were still there, and the
  // error's own text it stands for (another error may have replaced that one on its way out).
  std::string message;
  std::string replaced_text;
  void clear() {
    entries.clear();
    message.clear();
    replaced_text.clear();
  }
};

// Called by each runner an error leaves, innermost first, while its frames are still in place.
void record_pending_forms(Runtime& runtime, const Interpreter& interpreter, const Failure& failure);

// "FILE:LINE:COL: error: MESSAGE", then the pending forms of the program's own code; warnings
// follow where the error suggests one. Every line ends in a newline.
std::string diagnostic_text(Runtime& runtime, const Failure& failure);

// A ")" that ends the reading of a text with more text after it: a warning on standard error.
// `what` says what ends ("the program", "the loaded file").
void warn_of_stray_close_paren(SourceFile& source, std::string_view text, int64_t position, const char* what);

}  // namespace brevalon

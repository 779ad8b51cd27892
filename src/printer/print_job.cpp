// The printers' work loop, and the guarded, indenting append every piece of text goes through.
#include "printer/print_job.h"

#include <algorithm>

#include "base/errors.h"
#include "printer/printer.h"

namespace brevalon {

std::string PrintJob::run(Value* value, bool literal) {
  push({.step = literal ? Step::literal : Step::display, .value = value});
  while (!tasks_.empty()) {
    Task task = tasks_.back();
    tasks_.pop_back();
    switch (task.step) {
      case Step::display:
        write_display(task.value);
        break;
      case Step::literal:
        write_literal(task.value);
        break;
      case Step::list_rest:
      case Step::body_rest:
        continue_list(task);
        break;
      case Step::close:
        indent_ -= task.index;
        append(task.text);
        break;
      case Step::entries:
        continue_entries(task);
        break;
      case Step::bindings:
        continue_bindings(task);
        break;
      case Step::parents:
        continue_parents(task);
        break;
      case Step::parameters:
        continue_parameters(task);
        break;
    }
  }
  return std::move(out_);
}

void PrintJob::push_nested(Value* value, size_t indent, const char* then) {
  push({.step = Step::close, .index = indent, .text = then});
  push({.step = Step::literal, .value = value});
  indent_ += indent;
}

void PrintJob::append(std::string_view text) {
  if (indent_ == 0) {
    put(text);
    return;
  }
  size_t start = 0;
  for (size_t newline; (newline = text.find('\n', start)) != std::string_view::npos; start = newline + 1) {
    put(text.substr(start, newline + 1 - start));
    put_spaces(indent_);
  }
  put(text.substr(start));
}

void PrintJob::put(std::string_view piece) {
  make_room(piece.size());
  out_.append(piece);
}

void PrintJob::put_spaces(size_t count) {
  make_room(count);
  out_.append(count, ' ');
}

void PrintJob::make_room(size_t more) {
  if (more > max_print_bytes - out_.size())
    internal_error("value too large to print (its text passes " + std::to_string(max_print_bytes >> 20) + " MiB)");
  // Grown by doubling; once past half the limit, straight to the limit, so that the largest text
  // allowed is never copied more than once more nor given room it cannot use.
  if (out_.size() + more > out_.capacity()) {
    size_t room = std::max(out_.capacity() * 2, out_.size() + more);
    out_.reserve(room > max_print_bytes / 2 ? max_print_bytes : room);
  }
}

}  // namespace brevalon

// Diagnostics: the pending forms an error leaves, folded and shortened into a few lines that say where.
#include "eval/diagnostic.h"

#include "base/errors.h"
#include "base/output.h"
#include "eval/arguments.h"
#include "eval/eval_frames.h"
#include "eval/interpreter.h"
#include "eval/runtime.h"
#include "reader/reader.h"
#include "values/class.h"
#include "values/types.h"

namespace brevalon {

namespace {

// At most this many "in" lines: the innermost pending forms say the most.
constexpr int shown_forms = 10;
// A form in an "in" line is cut after about this many characters.
constexpr size_t form_width = 60;
// Longer repeating runs of forms than this are not looked for.
constexpr size_t longest_cycle = 8;

// The prelude's generics raise this when no method fits the arguments.
constexpr std::string_view no_method_message = "No matching method for these arguments";

// The global name bound to a value, or empty: functions, classes and types are known by these.
std::string global_name(Runtime& runtime, const Value* value) {
  Environment* global = runtime.global;
  for (size_t i = 0; i < global->named_count(); ++i)
    if (global->named_at(i).value == value) return global->named_at(i).name->text;
  return {};
}

std::string type_name(Runtime& runtime, Value* value) {
  Value* type = runtime.heap.constants.type_of(value);
  std::string name = global_name(runtime, type);
  if (!name.empty()) return name;
  if (type->kind == Kind::Type) return as<Type>(type)->name;
  return "an instance of an unnamed class";
}

// The generic whose dispatch found no method: the innermost call of a global function that has an
// entry in the prelude's method store.
std::string no_method_detail(Runtime& runtime, const Interpreter& interpreter) {
  NamedSymbol store_name(runtime.heap.names.intern("method-store"));
  Value* store = runtime.global->lookup(&store_name);
  if (!store || store->kind != Kind::Hashtable) return {};
  const std::vector<Frame*>& frames = interpreter.frames();
  for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
    auto* call = dynamic_cast<CallFrame*>(*it);
    if (!call) continue;
    std::string name = global_name(runtime, call->callee);
    if (name.empty() || !as<Hashtable>(store)->get(name)) continue;
    std::string types;
    for (Value* rest = call->arguments; rest->kind == Kind::Cell; rest = cdr(rest))
      types += (types.empty() ? "" : ", ") + type_name(runtime, car(rest));
    return "no method of " + name + " for (" + types + ")";
  }
  return {};
}

// A form shortened to a line: nested lists past the third level and elements past the width become "...".
void abbreviate(std::string& out, Value* form, int depth, Value* nil) {
  if (form->kind != Kind::Cell) {
    out += shorten(brief(form), 24);
    return;
  }
  if (depth >= 3) {
    out += "(...)";
    return;
  }
  out += '(';
  Value* rest = form;
  for (bool first = true; rest->kind == Kind::Cell; rest = cdr(rest), first = false) {
    if (!first) out += ' ';
    if (out.size() >= form_width) {
      out += "...";
      rest = nil;
      break;
    }
    abbreviate(out, car(rest), depth + 1, nil);
  }
  if (rest != nil) out += " . " + shorten(brief(rest), 24);
  out += ')';
}

// Control characters in a message would break its line or hide: they are shown as escapes.
std::string visible(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (static_cast<unsigned char>(c) < 32) out += "\\x" + std::to_string(static_cast<unsigned char>(c));
    else out += c;
  }
  return out;
}

std::string place(Runtime& runtime, const SourcePosition& position, bool with_column) {
  std::string text = runtime.positions.file_name(position.file);
  text += ':';
  text += std::to_string(position.line);
  if (with_column) {
    text += ':';
    text += std::to_string(position.column);
  }
  return text;
}

// The error's own words for standard error: the first line, without the "Error: " the report line
// repeats, and the runaway-recursion note said plainly.
std::string message_of(const Failure& failure) {
  std::string text = failure.text.substr(0, failure.text.find('\n'));
  if (failure.kind == Failure::Kind::program && text.starts_with("Error: ")) text.erase(0, 7);
  if (failure.kind == Failure::Kind::internal && text.starts_with("too many pending frames (more than "))
    text = "runaway recursion: " + text.substr(std::string_view("too many pending frames (").size(),
                                               text.find(')') - std::string_view("too many pending frames (").size()) +
           " frames pending";
  return text;
}

bool same_entry(const PendingForms::Entry& a, const PendingForms::Entry& b) { return a.form == b.form; }

// How often the run of `length` entries at `start` occurs in a row there.
size_t repeats(const std::vector<PendingForms::Entry>& entries, size_t start, size_t length) {
  size_t count = 1;
  for (;;) {
    size_t next = start + count * length;
    if (next + length > entries.size()) return count;
    for (size_t k = 0; k < length; ++k)
      if (!same_entry(entries[start + k], entries[next + k])) return count;
    ++count;
  }
}

std::string entry_line(Runtime& runtime, const PendingForms::Entry& entry) {
  if (!entry.form)
    return "  (" + std::to_string(entry.frames) + (entry.frames == 1 ? " frame" : " frames") + " inside the prelude)\n";
  // A name at top level has its position in the first line already.
  if (entry.form->kind != Kind::Cell) return {};
  std::string form;
  abbreviate(form, entry.form, 0, runtime.heap.constants.nil);
  return "  in " + visible(form) + " at " + place(runtime, *runtime.positions.find(entry.form), false) + "\n";
}

// The pending forms innermost first; a run of forms that repeats (a recursion) is shown once, with
// how many more times it repeats and how many frames the repetition holds.
std::string pending_lines(Runtime& runtime) {
  const std::vector<PendingForms::Entry>& entries = runtime.pending_forms.entries;
  std::string text;
  int shown = 0;
  size_t i = 0;
  while (i < entries.size() && shown < shown_forms) {
    size_t best_length = 0, best_count = 1;
    for (size_t length = 1; length <= longest_cycle && i + 2 * length <= entries.size(); ++length) {
      size_t count = repeats(entries, i, length);
      if (count > 1 && count * length > best_count * best_length) {
        best_length = length;
        best_count = count;
      }
    }
    size_t block = best_length ? best_length : 1;
    for (size_t k = 0; k < block; ++k) {
      text += entry_line(runtime, entries[i + k]);
      if (entries[i + k].form) ++shown;
    }
    if (best_length) {
      uint64_t frames = 0;
      for (size_t k = 0; k < best_length * best_count; ++k) frames += entries[i + k].frames;
      text += std::string("  (") + (best_length == 1 ? "the line above repeats " : "the " + std::to_string(best_length) + " lines above repeat ") +
              std::to_string(best_count - 1) + " more time" + (best_count == 2 ? "" : "s") + ": a recursion of " +
              std::to_string(frames) + " frames)\n";
    }
    i += block * best_count;
  }
  size_t more = 0;
  for (; i < entries.size(); ++i)
    if (entries[i].form) ++more;
  if (more) text += "  (and " + std::to_string(more) + " more pending form" + (more == 1 ? "" : "s") + " further out)\n";
  return text;
}

}  // namespace

void record_pending_forms(Runtime& runtime, const Interpreter& interpreter, const Failure& failure) {
  PendingForms& pending = runtime.pending_forms;
  if (pending.entries.empty() && pending.message.empty() && failure.kind == Failure::Kind::program &&
      failure.text.find(no_method_message) != std::string::npos) {
    pending.message = no_method_detail(runtime, interpreter);
    pending.replaced_text = failure.text;
  }
  // One form per pending frame, counting each frame a frame stands for.
  std::vector<Value*> forms;
  for (Frame* frame : interpreter.frames()) frame->append_source_forms(forms);
  uint64_t unclaimed = 0;  // frames inside the innermost form, before any entry starts
  Value* previous = nullptr;
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    Value* form = *it;
    bool from_file = form && runtime.positions.find(form);
    // A name evaluated in a frame of its own belongs to the form around it.
    if (form && !from_file && form->kind != Kind::Cell) form = nullptr;
    bool joins_last = !pending.entries.empty() && (form == nullptr ? true
                                                   : from_file ? form == previous && pending.entries.back().form == form
                                                               : pending.entries.back().form == nullptr);
    if (joins_last) {
      ++pending.entries.back().frames;
    } else if (!form) {
      ++unclaimed;
    } else {
      pending.entries.push_back({from_file ? form : nullptr, 1 + unclaimed});
      unclaimed = 0;
    }
    previous = form;
  }
}

std::string diagnostic_text(Runtime& runtime, const Failure& failure) {
  const PendingForms& pending = runtime.pending_forms;
  const SourcePosition* innermost = nullptr;
  Value* innermost_form = nullptr;
  for (const PendingForms::Entry& entry : pending.entries) {
    if (entry.form) {
      innermost_form = entry.form;
      innermost = runtime.positions.find(entry.form);
      break;
    }
  }
  std::string where;
  if (!failure.location.empty()) where = failure.location;
  else if (innermost) where = place(runtime, *innermost, true);
  else if (!runtime.files.empty()) where = runtime.files.back();
  else where = "brevalon";

  bool clearer = !pending.message.empty() && pending.replaced_text == failure.text;
  std::string message = clearer ? pending.message : message_of(failure);
  if (clearer && innermost_form) {
    std::string call;
    abbreviate(call, innermost_form, 0, runtime.heap.constants.nil);
    message += ", reached from " + call;
  }
  std::string text = where + ": error: " + visible(message) + "\n";
  if (failure.kind == Failure::Kind::syntax) {
    for (size_t start = failure.text.find('\n'); start != std::string::npos;) {
      size_t end = failure.text.find('\n', start + 1);
      text += "  " + failure.text.substr(start + 1, end == std::string::npos ? end : end - start - 1) + "\n";
      start = end;
    }
  }
  text += pending_lines(runtime);
  if (message.find('\r') != std::string::npos)
    text += where + ": warning: a name holds a carriage return: the file seems to have CRLF (Windows) line "
                    "endings, and only a line feed ends a line here\n";
  return text;
}

void warn_of_stray_close_paren(SourceFile& source, std::string_view text, int64_t position, const char* what) {
  auto stray = stray_close_paren(text, position);
  if (!stray) return;
  write_error_text(source.describe(text, stray->position) + ": warning: unmatched ')' ends " + what + "; " +
                   std::to_string(stray->lines_after) + " more line" + (stray->lines_after == 1 ? " is" : "s are") +
                   " not run\n");
}

}  // namespace brevalon

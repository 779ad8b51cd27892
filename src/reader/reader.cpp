// The recognisers, run by one loop over an explicit stack of the lists and quotations still open.
#include "reader/reader.h"

#include <vector>

#include "base/errors.h"
#include "base/output.h"
#include "memory/heap.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"

namespace brevalon {

namespace {

using Result = std::optional<ReadResult>;

bool is_whitespace(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_int_delimiter(char c) { return is_whitespace(c) || c == '(' || c == ')'; }
bool cannot_start_symbol(char c) { return is_whitespace(c) || c == '(' || c == ')' || c == ',' || c == '\''; }
bool ends_symbol(char c) { return is_whitespace(c) || c == '(' || c == ')' || c == ';' || c == '#'; }

// A quotation shorthand: the prefix, the head of the list it makes, and the line written when no
// expression follows it (the apostrophe writes none).
struct Prefix {
  std::string_view text;
  const char* head;
  const char* message;
  const char* note;
};
// Tried in this order, so that ",@" wins over ",".
constexpr Prefix prefixes[] = {
    {"'", "quote", "", "' is not followed by an expression"},
    {"`", "quasiquote", "Quasiquote ` expecting an expression", "` is not followed by an expression"},
    {",@", "unquote-splicing", "(unquote-splicing) ,@ expecting an expression", ",@ is not followed by an expression"},
    {",", "unquote", "(unquote) , expecting an expression", ", is not followed by an expression"},
};

// A list or a quotation whose parts are still being read. Its items are the tail of the reader's
// one item stack, from `first_item` on.
struct Open {
  const Prefix* prefix;  // null for a list
  int64_t start;
  size_t first_item;
  SourcePosition position;  // where it starts, when the text comes from a file
};

class Reader {
 public:
  Reader(Heap& heap, std::string_view text, SourceFile* source)
      : heap_(heap), text_(text), size_(static_cast<int64_t>(text.size())), source_(source) {}

  // Nesting costs heap memory only: lists a million deep read like any other.
  Result expr(int64_t pos) {
    for (;;) {
      pos = skip_all(text_, pos);
      Value* value = nullptr;
      if (!open_.empty() && !open_.back().prefix && pos < size_ && at(pos) == ')') {
        value = close_list();
        ++pos;
      } else if (const Prefix* prefix = prefix_at(pos)) {
        open(prefix, pos);
        pos += static_cast<int64_t>(prefix->text.size());
        continue;
      } else if (pos < size_ && at(pos) == '(') {
        open(nullptr, pos);
        ++pos;
        continue;
      } else {
        Result atom = integer(pos);
        if (!atom) atom = string(pos);
        if (!atom) atom = symbol(pos);
        if (!atom) {
          // Only the end of the text or a ")" matches nothing.
          if (open_.empty()) return std::nullopt;
          unfinished();
        }
        if (open_.empty()) record_top_level(atom->value, pos);
        value = atom->value;
        pos = atom->position;
      }
      // A finished value completes the quotations around it, then joins the list around those.
      while (!open_.empty() && open_.back().prefix) value = close_prefix(value);
      if (open_.empty()) return ReadResult{pos, value};
      items_.push_back(value);
    }
  }

 private:
  char at(int64_t pos) const { return text_[static_cast<size_t>(pos)]; }

  [[noreturn]] void syntax_error(const std::string& line, const std::string& note, int64_t pos) {
    if (!line.empty()) write_line(line);
    throw SyntaxError(note, source_ ? source_->describe(text_, pos) : std::string());
  }

  const Prefix* prefix_at(int64_t pos) const {
    for (const Prefix& prefix : prefixes)
      if (pos + int64_t(prefix.text.size()) <= size_ && text_.substr(static_cast<size_t>(pos), prefix.text.size()) == prefix.text)
        return &prefix;
    return nullptr;
  }

  void open(const Prefix* prefix, int64_t pos) {
    SourcePosition position{};
    if (source_) position = source_->at(text_, pos);
    open_.push_back({prefix, pos, items_.size(), position});
  }

  void record(Value* form, const Open& entry) {
    if (source_ && form->kind == Kind::Cell) source_->positions().record(form, entry.position);
  }

  // A form at top level that is not a list is found by its position too: an undefined name, say.
  void record_top_level(Value* form, int64_t pos) {
    if (source_) source_->positions().record(form, source_->at(text_, pos));
  }

  Value* close_list() {
    Open entry = open_.back();
    open_.pop_back();
    Value* list = heap_.constants.nil;
    for (size_t i = items_.size(); i-- > entry.first_item;) list = heap_.make<Cell>(items_[i], list);
    items_.resize(entry.first_item);
    record(list, entry);
    return list;
  }

  Value* close_prefix(Value* inner) {
    Open entry = open_.back();
    open_.pop_back();
    Value* tail = heap_.make<Cell>(inner, heap_.constants.nil);
    Value* form = heap_.make<Cell>(heap_.make<NamedSymbol>(heap_.names.intern(entry.prefix->head)), tail);
    record(form, entry);
    return form;
  }

  // The text ends inside a list, or a quotation is followed by nothing it can quote.
  [[noreturn]] void unfinished() {
    const Open& innermost = open_.back();
    if (innermost.prefix) syntax_error(innermost.prefix->message, innermost.prefix->note, innermost.start);
    std::string note = std::string("'(' is never closed: the ") + (source_ ? "file" : "text") + " ends inside this list";
    size_t lists = 0;
    const Open* outermost = nullptr;
    for (const Open& entry : open_) {
      if (entry.prefix) continue;
      if (!outermost) outermost = &entry;
      ++lists;
    }
    if (source_ && lists > 1)
      note += "\nthe outermost of the " + std::to_string(lists) + " unclosed lists starts at " +
              source_->describe(text_, outermost->start);
    syntax_error("list expression expecting sub expression or closing parenthesis", note, innermost.start);
  }

  Result integer(int64_t pos) {
    if (pos >= size_) return std::nullopt;
    uint64_t value = 0;
    int64_t i = pos;
    for (; i < size_ && !is_int_delimiter(at(i)); ++i) {
      char c = at(i);
      if (!is_digit(c)) {
        if (i == pos) return std::nullopt;  // something else, such as a symbol
        int64_t end = i;
        while (end < size_ && !is_whitespace(at(end))) ++end;
        std::string token(text_.substr(pos, end - pos));
        std::string shown = c == '\r' ? "a carriage return" : std::string("'") + c + "'";
        syntax_error("Invalid character while reading int literal: " + std::string(1, c) + " (in " + token + ")",
                     "invalid number " + shorten(token, 40) + ": " + shown +
                         " is not a digit (numbers are whole and decimal)",
                     pos);
      }
      value = value * 10 + static_cast<uint64_t>(c - '0');  // wraps modulo 2^64
    }
    if (i == pos) return std::nullopt;
    return ReadResult{i, heap_.make<Integer>(static_cast<int64_t>(value))};
  }

  Result string(int64_t pos) {
    if (pos >= size_ || at(pos) != '"') return std::nullopt;
    std::string contents;
    for (int64_t i = pos + 1; i < size_; ++i) {
      char c = at(i);
      if (c == '"') return ReadResult{i + 1, heap_.make<String>(std::move(contents))};
      if (c != '\\') {
        contents += c;
        continue;
      }
      if (++i >= size_) break;
      char escaped = at(i);
      if (escaped == '\\') contents += '\\';
      else if (escaped == 'n') contents += '\n';
      else if (escaped == '"') contents += '"';
      else
        syntax_error(std::string("Unknown special character: \\") + escaped,
                     std::string("unknown escape \\") + escaped + " in a string (the escapes are \\\\, \\n and \\\")",
                     i - 1);
    }
    syntax_error("Unterminated string at EOF", "unterminated string: the text ends before its closing '\"'", pos);
  }

  Result symbol(int64_t pos) {
    if (pos >= size_ || cannot_start_symbol(at(pos))) return std::nullopt;
    int64_t end = pos + 1;
    while (end < size_ && !ends_symbol(at(end))) ++end;
    return ReadResult{end, heap_.make<NamedSymbol>(heap_.names.intern(text_.substr(pos, end - pos)))};
  }

  Heap& heap_;
  std::string_view text_;
  int64_t size_;
  SourceFile* source_;
  std::vector<Open> open_;
  std::vector<Value*> items_;
};

}  // namespace

int64_t skip_whitespace(std::string_view text, int64_t pos) {
  if (pos < 0) return pos;
  while (pos < int64_t(text.size()) && is_whitespace(text[pos])) ++pos;
  return pos;
}

int64_t skip_comment(std::string_view text, int64_t pos) {
  if (pos < 0 || pos >= int64_t(text.size()) || (text[pos] != '#' && text[pos] != ';')) return pos;
  size_t newline = text.find('\n', static_cast<size_t>(pos));
  return newline == std::string_view::npos ? int64_t(text.size()) : int64_t(newline) + 1;
}

int64_t skip_all(std::string_view text, int64_t pos) {
  for (;;) {
    int64_t next = skip_comment(text, skip_whitespace(text, pos));
    if (next == pos) return pos;
    pos = next;
  }
}

std::optional<ReadResult> next_expr(Heap& heap, std::string_view text, int64_t position, SourceFile* source) {
  // A position outside the text (a program may pass any number to read) holds no expression.
  if (position < 0 || position >= int64_t(text.size())) return std::nullopt;
  return Reader(heap, text, source).expr(position);
}

std::optional<StrayCloseParen> stray_close_paren(std::string_view text, int64_t position) {
  int64_t paren = skip_all(text, position);
  if (paren < 0 || paren >= int64_t(text.size()) || text[static_cast<size_t>(paren)] != ')') return std::nullopt;
  int64_t rest = skip_all(text, paren + 1);
  if (rest >= int64_t(text.size())) return std::nullopt;
  // The lines from the first text after the parenthesis to the last line holding anything.
  size_t last = text.find_last_not_of(" \t\n");
  int64_t lines = 1;
  for (size_t i = static_cast<size_t>(rest); i < last; ++i)
    if (text[i] == '\n') ++lines;
  return StrayCloseParen{paren, lines};
}

}  // namespace brevalon

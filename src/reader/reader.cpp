// The recognisers: each matches at a position or reports no match without consuming anything.
#include "reader/reader.h"

#include <vector>

#include "base/errors.h"
#include "base/output.h"
#include "base/stack_guard.h"
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

[[noreturn]] void syntax_error(const std::string& message) {
  if (!message.empty()) write_line(message);
  throw SyntaxError(message.empty() ? "a quotation mark is not followed by an expression" : message);
}

class Reader {
 public:
  Reader(Heap& heap, std::string_view text) : heap_(heap), text_(text), size_(static_cast<int64_t>(text.size())) {}

  Result expr(int64_t pos, int depth) {
    if (depth > max_read_depth || stack_nearly_full()) {
      throw SyntaxError("nesting deeper than " + std::to_string(max_read_depth) + " levels");
    }
    pos = skip_all(text_, pos);
    if (Result r = integer(pos)) return r;
    if (Result r = prefixed(pos, "'", "quote", "", depth)) return r;
    if (Result r = prefixed(pos, "`", "quasiquote", "Quasiquote ` expecting an expression", depth)) return r;
    if (Result r = prefixed(pos, ",@", "unquote-splicing", "(unquote-splicing) ,@ expecting an expression", depth))
      return r;
    if (Result r = prefixed(pos, ",", "unquote", "(unquote) , expecting an expression", depth)) return r;
    if (Result r = list(pos, depth)) return r;
    if (Result r = string(pos)) return r;
    return symbol(pos);
  }

 private:
  char at(int64_t pos) const { return text_[static_cast<size_t>(pos)]; }

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
        syntax_error("Invalid character while reading int literal: " + std::string(1, c) + " (in " +
                     std::string(text_.substr(pos, end - pos)) + ")");
      }
      value = value * 10 + static_cast<uint64_t>(c - '0');  // wraps modulo 2^64
    }
    if (i == pos) return std::nullopt;
    return ReadResult{i, heap_.make<Integer>(static_cast<int64_t>(value))};
  }

  Value* symbol_named(const char* name) { return heap_.make<NamedSymbol>(heap_.names.intern(name)); }

  Result prefixed(int64_t pos, std::string_view prefix, const char* head, const char* message, int depth) {
    if (pos + int64_t(prefix.size()) > size_ || text_.substr(static_cast<size_t>(pos), prefix.size()) != prefix)
      return std::nullopt;
    Result inner = expr(pos + static_cast<int64_t>(prefix.size()), depth + 1);
    if (!inner) syntax_error(message);
    Value* tail = heap_.make<Cell>(inner->value, heap_.constants.nil);
    return ReadResult{inner->position, heap_.make<Cell>(symbol_named(head), tail)};
  }

  Result list(int64_t pos, int depth) {
    if (pos >= size_ || at(pos) != '(') return std::nullopt;
    ++pos;
    std::vector<Value*> items;
    for (;;) {
      pos = skip_all(text_, pos);
      if (pos < size_ && at(pos) == ')') return ReadResult{pos + 1, make_list(heap_, items)};
      Result item = expr(pos, depth + 1);
      if (!item) syntax_error("list expression expecting sub expression or closing parenthesis");
      items.push_back(item->value);
      pos = item->position;
    }
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
      else syntax_error(std::string("Unknown special character: \\") + escaped);
    }
    syntax_error("Unterminated string at EOF");
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

std::optional<ReadResult> next_expr(Heap& heap, std::string_view text, int64_t position) {
  // A position outside the text (a program may pass any number to read) holds no expression.
  if (position < 0 || position >= int64_t(text.size())) return std::nullopt;
  return Reader(heap, text).expr(position, 0);
}

}  // namespace brevalon

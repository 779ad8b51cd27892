// The string built-ins, and the four string natives the prelude's generics use.
#include "builtins/strings.h"

#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/interpreter.h"
#include "printer/printer.h"
#include "values/symbol.h"
#include "values/types.h"

namespace brevalon {

namespace {
bool is_strip_byte(char c) { return c == ' ' || (c >= 9 && c <= 13); }
}  // namespace

Value* native_split(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("split", arguments);
  const std::string& text = args.string(0)->text;
  const std::string& separator = args.string(1)->text;
  if (separator.empty()) lisp_error("split: the separator must not be empty");
  // Each piece goes in front of the list so far: the last piece comes first.
  Value* pieces = interpreter.heap.constants.nil;
  size_t start = 0;
  for (size_t found; (found = text.find(separator, start)) != std::string::npos; start = found + separator.size())
    pieces = interpreter.heap.make<Cell>(interpreter.heap.make<String>(text.substr(start, found - start)), pieces);
  return interpreter.heap.make<Cell>(interpreter.heap.make<String>(text.substr(start)), pieces);
}

Value* native_join(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("join", arguments);
  args.require(2);
  Value* list = args.at(0);
  const std::string& separator = args.string(1)->text;
  if (!is_proper_list(interpreter.heap, list)) args.wrong_kind(0, "a list of strings");
  // The text is sized first: a string's unused capacity is memory the collector counts and waits for.
  size_t size = 0;
  for (Value* rest = list; rest->kind == Kind::Cell; rest = cdr(rest)) {
    if (car(rest)->kind != Kind::String) args.wrong_kind(0, "a list of strings");
    size += (rest != list ? separator.size() : 0) + as<String>(car(rest))->text.size();
  }
  std::string result;
  result.reserve(size);
  for (Value* rest = list; rest->kind == Kind::Cell; rest = cdr(rest)) {
    if (rest != list) result += separator;
    result += as<String>(car(rest))->text;
  }
  return interpreter.heap.make<String>(std::move(result));
}

Value* native_substring(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("substring", arguments);
  String* text = args.string(0);
  int64_t start = args.integer(1);
  int64_t end = args.integer(2);
  if (start < 0 || end < 0)
    lisp_error("Trying to slice string " + represent(text) + " with negative start (" + std::to_string(start) + ":" +
               std::to_string(end) + ")");
  int64_t length = static_cast<int64_t>(text->text.size());
  if (end >= length) {
    if (start == 0) return interpreter.heap.make<String>(text->text);
    end = length;
  }
  if (start >= end) return interpreter.heap.make<String>("");
  return interpreter.heap.make<String>(text->text.substr(start, end - start));
}

Value* native_strip(Interpreter& interpreter, Environment*, Value* arguments) {
  const std::string& text = Arguments("strip", arguments).string(0)->text;
  size_t begin = 0, end = text.size();
  while (begin < end && is_strip_byte(text[begin])) ++begin;
  while (end > begin && is_strip_byte(text[end - 1])) --end;
  return interpreter.heap.make<String>(text.substr(begin, end - begin));
}

Value* native_string_contains(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("string-contains", arguments);
  return interpreter.heap.constants.boolean(args.string(0)->text.find(args.string(1)->text) != std::string::npos);
}

Value* native_string_length(Interpreter& interpreter, Environment*, Value* arguments) {
  return interpreter.heap.make<Integer>(static_cast<int64_t>(Arguments("string-length", arguments).string(0)->text.size()));
}

Value* native_string_at(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("string-at", arguments);
  String* text = args.string(0);
  int64_t index = args.integer(1);
  if (index < 0) lisp_error("Trying to index string " + represent(text) + " with negative index " + std::to_string(index));
  int64_t length = static_cast<int64_t>(text->text.size());
  if (index >= length)
    lisp_error("Trying to index string " + represent(text) + " of length " + std::to_string(length) + " with index " +
               std::to_string(index));
  return interpreter.heap.make<String>(std::string(1, text->text[static_cast<size_t>(index)]));
}

Value* native_string_to_symbol(Interpreter& interpreter, Environment*, Value* arguments) {
  return interpreter.heap.make<NamedSymbol>(interpreter.heap.names.intern(Arguments("string->symbol", arguments).string(0)->text));
}

Value* native_string_concat(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("string-concat", arguments);
  const std::string& first = args.string(0)->text;
  const std::string& second = args.string(1)->text;
  std::string text;
  text.reserve(first.size() + second.size());
  text += first;
  text += second;
  return interpreter.heap.make<String>(std::move(text));
}

}  // namespace brevalon

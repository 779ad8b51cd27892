// Argument checks shared by every native.
#include "eval/arguments.h"

#include "values/class.h"
#include "base/errors.h"
#include "base/output.h"
#include "printer/printer.h"

namespace brevalon {

namespace {
// Enough to recognise a value; a note then still reads as one sentence.
constexpr size_t brief_width = 60;
}  // namespace

std::string brief(Value* value) {
  std::string text;
  try {
    text = represent(value);
  } catch (...) {
    text = value->kind == Kind::Instance ? "an instance" : "a value that cannot be shown";
  }
  return shorten(text, brief_width);
}

Arguments::Arguments(const char* native, Value* list) : native_(native), list_(list) {
  for (Value* rest = list; rest->kind == Kind::Cell; rest = cdr(rest)) {
    if (count_ < inline_count) first_[count_] = car(rest);
    ++count_;
  }
}

Value* Arguments::at_slowly(size_t i) const {
  require(i + 1);
  if (i < inline_count) return first_[i];
  Value* rest = list_;
  for (size_t k = 0; k < i; ++k) rest = cdr(rest);
  return car(rest);
}

void Arguments::too_few(size_t at_least) const {
  internal_error(std::string(native_) + " expects " + (at_least == 1 ? "an argument" : std::to_string(at_least) + " arguments") +
                 ", got " + std::to_string(count_));
}

void Arguments::require_none() const {
  if (count_ != 0) internal_error(std::string(native_) + " takes no arguments, got " + std::to_string(count_));
}

void Arguments::wrong_kind(size_t i, const char* wanted) const {
  std::string position = i == 0 ? "" : " as argument " + std::to_string(i + 1);
  internal_error(std::string(native_) + " expects " + wanted + position + ", got " + brief(at(i)));
}

String* Arguments::string(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::String) wrong_kind(i, "a string");
  return as<String>(v);
}

int64_t Arguments::integer(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::Integer) wrong_kind(i, "an integer");
  return as<Integer>(v)->value;
}

Hashtable* Arguments::dictionary(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::Hashtable) wrong_kind(i, "a dictionary");
  return as<Hashtable>(v);
}

Function* Arguments::function(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::Function) wrong_kind(i, "a function");
  return as<Function>(v);
}

Environment* Arguments::environment(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::Environment) wrong_kind(i, "an environment");
  return as<Environment>(v);
}

Value* Arguments::symbol(size_t i) const {
  Value* v = at(i);
  if (!is_symbol(v)) wrong_kind(i, "a symbol");
  return v;
}

Value* Arguments::named_symbol(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::NamedSymbol) wrong_kind(i, "a named symbol");
  return v;
}

Class* Arguments::class_value(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::Class) wrong_kind(i, "a class");
  return as<Class>(v);
}

Instance* Arguments::instance(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::Instance) wrong_kind(i, "an instance of a class");
  return as<Instance>(v);
}

Value* Arguments::cell(size_t i) const {
  Value* v = at(i);
  if (v->kind != Kind::Cell) wrong_kind(i, "a cell");
  return v;
}

}  // namespace brevalon

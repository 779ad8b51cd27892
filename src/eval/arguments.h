// Reading a native's arguments by position, with one place that builds every "expects ..." note.
#pragma once
#include <string>

#include "values/dictionary.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"

namespace brevalon {

class Interpreter;
struct Class;
struct Instance;

// A short literal form of a value for notes: never fails, never longer than one line of text.
std::string brief(Value* value);

class Arguments {
 public:
  Arguments(const char* native, Value* list);

  size_t count() const { return count_; }
  // Arguments past `count` are an internal error naming the native, never a read past the list.
  Value* at(size_t i) const {
    if (i < count_ && i < inline_count) return first_[i];
    return at_slowly(i);
  }
  void require(size_t at_least) const {
    if (count_ < at_least) too_few(at_least);
  }
  void require_none() const;

  String* string(size_t i) const;
  int64_t integer(size_t i) const;
  Hashtable* dictionary(size_t i) const;
  Function* function(size_t i) const;
  Environment* environment(size_t i) const;
  Value* symbol(size_t i) const;
  Value* named_symbol(size_t i) const;
  Class* class_value(size_t i) const;
  Instance* instance(size_t i) const;
  Value* cell(size_t i) const;

  [[noreturn]] void wrong_kind(size_t i, const char* wanted) const;

 private:
  Value* at_slowly(size_t i) const;
  [[noreturn]] void too_few(size_t at_least) const;
  static constexpr size_t inline_count = 6;
  const char* native_;
  Value* list_;
  size_t count_ = 0;
  Value* first_[inline_count] = {};
};

}  // namespace brevalon

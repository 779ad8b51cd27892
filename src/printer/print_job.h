// One run of the printers: the text written so far and the work list of what remains to write.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "values/value.h"

namespace brevalon {

struct Environment;
struct Function;
struct Hashtable;
struct Class;

// The display and the literal form call each other at every level of nesting; the work list
// takes the place of that recursion, so nesting is limited by memory and not by the machine stack.
// The printers allocate no values, so no collection runs while they work and the values on the
// work list need no roots.
class PrintJob {
 public:
  // The display form of `value` (literal false) or its literal form.
  std::string run(Value* value, bool literal);

 private:
  enum class Step : uint8_t {
    display,          // a value in its display form
    literal,          // a value in its literal form
    list_rest,        // the elements of a list from `value` on; `first` until one is written
    body_rest,        // the same without the closing parenthesis: a function's body forms
    close,            // after a nested value: take back `index` spaces of indent, then write `text`
    entries,          // a dictionary's entries from `index` on
    bindings,         // an environment's visible bindings from `index` on, named ones first
    parents,          // a class's parents from `index` on, then its attribute names
    parameters,       // a function's parameters from `index` on, its rest parameter, then its body
  };
  struct Task {
    Step step;
    bool first = false;
    size_t index = 0;
    Value* value = nullptr;
    const char* text = "";
  };

  void push(Task task) { tasks_.push_back(task); }
  // Writes `value` after the text so far, in the literal form, with its lines indented `indent`
  // spaces more than the enclosing block's; a close task takes the indent back.
  void push_nested(Value* value, size_t indent, const char* then);

  // Appends text; every newline in it is followed by the indent of the blocks it lies in.
  void append(std::string_view text);
  void put(std::string_view piece);
  void put_spaces(size_t count);
  void make_room(size_t more);

  // The forms of each kind, in to_string.cpp (display) and represent.cpp (literal).
  void write_display(Value* value);
  void write_literal(Value* value);
  void continue_list(const Task& task);
  void write_dictionary(Hashtable* table);
  void continue_entries(const Task& task);
  void write_environment(Environment* env);
  void continue_bindings(const Task& task);
  void write_class(Class* cls);
  void continue_parents(const Task& task);
  void write_function(Function* function);
  void continue_parameters(const Task& task);
  void write_body(Function* function);

  std::string out_;
  size_t indent_ = 0;
  std::vector<Task> tasks_;
};

}  // namespace brevalon

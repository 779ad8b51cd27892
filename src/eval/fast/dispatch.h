// Native dispatch of generic functions: the method the prelude's dispatcher would pick, found without running it.
//
// It stands for the body every defgeneric gives a generic (read method-store under the generic's
// name, filter the methods with match-types, call the first match) and for filter, nth,
// match-types, is-list, is-instance and the natives those read. Any change to a binding of a name
// that text reads, in the global scope or in any scope on a generic's closure chain, switches it
// off for the rest of the run; nothing else does. A new method is read from method-store at the
// next call like the dispatcher reads it.
#pragma once
#include <utility>
#include <vector>

#include "values/value.h"

namespace brevalon {

class Interpreter;
struct Environment;
struct Hashtable;
struct LispFunc;
struct Name;
struct Runtime;

struct DispatchPaths {
  // to-string's dispatcher as start-up left it: every other generic's body is compared with it.
  LispFunc* reference = nullptr;
  Hashtable* method_store = nullptr;
  Value* cell_class = nullptr;
  Value* if_function = nullptr;  // its native's name is on one of the dispatcher's trace lines
  // The names in the dispatcher's text, which a generic's parameters must not take.
  std::vector<const Name*> text_names;
  // The names the dispatcher's text reads and their start-up values.
  std::vector<std::pair<const Name*, Value*>> read_bindings;
  // Bumped by a change of one of those names in a watched scope; native dispatch is on while 0.
  uint64_t* counters = nullptr;
  bool intact() const { return reference && counters[1] == 0; }
};

// After start-up: records what the dispatcher's text reads and marks those names watched.
void arm_dispatch(Runtime& runtime, uint64_t* counters);

// When a call of `generic` with `arguments` is a dispatcher's whose choice can be made natively:
// the arguments as the dispatcher hands them to the method (a new list), with `method` set to it.
// Null otherwise. Has no effect a program can see.
Value* choose_native_dispatch(Runtime& runtime, LispFunc* generic, Value* arguments, Value*& method);

// Whether choose_native_dispatch may pick a method for calls of `function`: false for a function
// that is not a dispatcher, or while native dispatch is off (and then for the rest of the run).
bool may_dispatch_natively(Runtime& runtime, LispFunc* function);

// Where a call of `generic` starts: when it is a dispatcher whose choice can be made natively,
// pushes the frame that calls the chosen method and returns true; otherwise does nothing.
bool start_native_dispatch(Interpreter& interpreter, LispFunc* generic, Value* arguments);

}  // namespace brevalon

// The fourteen type objects, the three unique constants, and the type of any value.
#pragma once
#include "values/scalars.h"

namespace brevalon {

class Heap;

struct Types {
  Type* symbol;
  Type* dictionary;
  Type* str;
  Type* integer;
  Type* cell;
  Type* environment;
  Type* class_type;
  Type* floating;
  Type* native_function;
  Type* function;
  Type* type;
  Type* unique;
  Type* lisp_function;
  Type* resumable_native;
};

extern Types types;
extern Value* true_value;
extern Value* false_value;
// nil_value is declared with the lists.

// Makes the type objects and the constants once per process; they are never collected.
void make_types_and_constants(Heap& heap);

// A Type for the built-in kinds, the Class of an instance.
Value* type_of(const Value* value);

inline Value* boolean(bool b) { return b ? true_value : false_value; }

}  // namespace brevalon

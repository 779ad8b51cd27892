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

// One run's type objects and unique constants, which its heap owns; they are never collected.
// Each run has its own, so a nil test stays one comparison with the run's nil.
struct Constants {
  Value* nil = nullptr;  // the end of every proper list
  Value* true_value = nullptr;
  Value* false_value = nullptr;
  Types types = {};

  Value* boolean(bool b) const { return b ? true_value : false_value; }
  // A Type for the built-in kinds, the Class of an instance.
  Value* type_of(const Value* value) const;
  void visit_edges(Visitor& visit);

  Type* kind_types[kind_count] = {};
};

// The name of a built-in kind's type, the same in every run; null for an instance, typed by its class.
const char* builtin_type_name(Kind kind);
// Whether two values have the same type, decided without the run's type objects.
bool same_type(const Value* a, const Value* b);

// Makes the heap's type objects and constants, once per run before anything else.
void make_types_and_constants(Heap& heap);

}  // namespace brevalon

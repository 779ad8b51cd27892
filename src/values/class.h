// Classes with inherited attribute names, and instances with one slot per attribute.
#pragma once
#include <unordered_map>
#include <vector>

#include "values/symbol.h"

namespace brevalon {

struct Environment;

struct Class : Value {
  Class() : Value(Kind::Class) {}
  void visit_edges(Visitor& visit) override;
  std::vector<Value*> parents;
  std::vector<const Name*> own_attributes;
  std::vector<const Name*> attributes;  // own first, then each parent's, repeats kept
  std::unordered_map<const Name*, size_t> slot_index;  // each name's last position in attributes
  Environment* class_env = nullptr;
};

struct Instance : Value {
  Instance(Class* c, size_t slots, Value* nil);
  void visit_edges(Visitor& visit) override;
  size_t footprint() const override { return values.capacity() * sizeof(Value*); }
  Class* cls;
  std::vector<Value*> values;
};

}  // namespace brevalon

// Edges of classes and instances.
#include "values/class.h"

#include "values/environment.h"
#include "values/list.h"

namespace brevalon {

void Class::visit_edges(Visitor& visit) {
  for (Value* parent : parents) visit(parent);
  visit(class_env);
  // The attribute names key the slot index too.
  for (const Name* name : own_attributes) mark_name(name);
  for (const Name* name : attributes) mark_name(name);
}

Instance::Instance(Class* c, size_t slots, Value* nil) : Value(Kind::Instance), cls(c), values(slots, nil) {}

void Instance::visit_edges(Visitor& visit) {
  visit(cls);
  for (Value* value : values) visit(value);
}

}  // namespace brevalon

// Edges of Brevalon-written functions.
#include "values/function.h"

#include "memory/heap.h"
#include "values/environment.h"

namespace brevalon {

void LispFunc::visit_edges(Visitor& visit) {
  visit(parameters.list());
  visit(rest_parameter);
  visit(body);
  visit(closure);
  if (generic) {
    visit(generic->types[0]);
    visit(generic->types[1]);
    visit(generic->method);
  }
}

void LispFunc::become_generic(Value* key) {
  if (!generic) {
    generic = new Generic{key};
    Heap::destroy_when_dead(this);
  }
  generic->key = key;
}

}  // namespace brevalon

// Edges of Brevalon-written functions.
#include "values/function.h"

#include "values/environment.h"

namespace brevalon {

void LispFunc::visit_edges(Visitor& visit) {
  for (Value* parameter : parameters) visit(parameter);
  visit(rest_parameter);
  visit(body);
  visit(closure);
}

}  // namespace brevalon

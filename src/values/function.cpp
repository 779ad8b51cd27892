// Edges of Brevalon-written functions.
#include "values/function.h"

#include "values/environment.h"

namespace brevalon {

void LispFunc::visit_edges(Visitor& visit) {
  Value::visit_edges(visit);
  visit(parameters.list());
  visit(rest_parameter);
  visit(body);
  visit(closure);
}

}  // namespace brevalon

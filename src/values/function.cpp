// Edges of Brevalon-written functions.
#include "values/function.h"

#include "values/environment.h"

namespace brevalon {

void LispFunc::visit_edges(Visitor& visit) {
  visit(parameters.list());
  visit(rest_parameter);
  visit(body);
  visit(closure);
  visit(dispatch_types[0]);
  visit(dispatch_types[1]);
  visit(dispatch_method);
}

}  // namespace brevalon

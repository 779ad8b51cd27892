// Macro expansion, outside-in: a macro call is replaced by its result, which is expanded again.
#include "eval/expand_frames.h"

#include "eval/eval_frames.h"
#include "base/errors.h"
#include "eval/interpreter.h"
#include "printer/printer.h"
#include "values/environment.h"
#include "values/function.h"

namespace brevalon {

bool ExpandFrame::next_step(Interpreter& interpreter) {
  switch (state) {
    case State::start: {
      if (form->kind != Kind::Cell) {
        result = form;
        return true;
      }
      Value* head = car(form);
      if (is_symbol(head)) {
        Value* bound = environment->lookup(head);
        if (bound && bound->kind == Kind::Function) {
          uint8_t mode = as<Function>(bound)->exec_mode;
          if (mode == mode_no_expand) {
            result = form;
            return true;
          }
          if (mode == mode_macro) {
            state = State::awaiting_macro_output;
            interpreter.push(new (interpreter.heap.frame_pools) CallFrame(bound, cdr(form), form, environment));
            return false;
          }
        }
      }
      if (interpreter.runtime.positions.find(form)) origin = form;
      state = State::awaiting_elements;
      interpreter.push(new (interpreter.heap.frame_pools) ExpandAllFrame(interpreter.heap, environment, form, origin));
      return false;
    }
    case State::awaiting_macro_output:
      if (interpreter.runtime.positions.find(form)) origin = form;
      state = State::awaiting_expansion;
      interpreter.push(new (interpreter.heap.frame_pools) ExpandFrame(environment, result, origin));
      return false;
    case State::awaiting_elements:
      // The expanded list is new: it takes the position of the list it was made from.
      if (origin) interpreter.runtime.positions.copy(origin, result);
      break;
    case State::awaiting_expansion:
      break;
  }
  return true;
}

void ExpandFrame::resume(Value* value) { result = value; }

std::string ExpandFrame::display() { return "ExpandFrame: " + represent(form); }

void ExpandFrame::visit_edges(Visitor& visit) {
  visit(environment);
  visit(form);
  visit(origin);
  visit(result);
}

bool ExpandAllFrame::next_step(Interpreter& interpreter) {
  while (remaining->kind == Kind::Cell) {
    Value* element = car(remaining);
    remaining = cdr(remaining);
    // An atom is its own expansion; it needs no frame.
    if (element->kind != Kind::Cell) {
      values.append(heap, element);
      continue;
    }
    interpreter.push(new (interpreter.heap.frame_pools) ExpandFrame(environment, element, origin));
    return false;
  }
  if (remaining != heap.constants.nil) internal_error("cannot expand a form whose elements do not end in nil");
  return true;
}

std::string ExpandAllFrame::display() { return "ExpandAllFrame: " + represent(list); }

void ExpandAllFrame::visit_edges(Visitor& visit) {
  visit(environment);
  visit(list);
  visit(origin);
  visit(remaining);
  values.visit_edges(visit);
}

}  // namespace brevalon

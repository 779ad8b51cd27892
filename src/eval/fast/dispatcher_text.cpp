// Walks the dispatcher's body the way the evaluator does on its way to the method call.
//
// The body, as the let* of defgeneric expands, is ((fn (method-definitions) set F2) nil) where each
// F is again ((fn (name) set F') nil), down to ((fn () (if test error F5))) and
// F5 = ((fn (f) set (f parameters...)) nil).
#include "eval/fast/dispatcher_text.h"

#include "printer/printer.h"
#include "values/list.h"

namespace brevalon {
namespace {

// The body forms of the function a form ((fn parameters . body) arguments...) calls.
Value* called_body(Value* form) { return cdr(cdr(car(form))); }

// A form (fn parameters first second) gives its second body form.
Value* second_form(Value* body) { return car(cdr(body)); }

// The let forms from the outermost down to the one whose body holds the if.
constexpr int nested_lets = 4;

}  // namespace

Value* dispatcher_key(Value* body) {
  // (set-symbol (quote method-definitions) (get-key method-store KEY))
  Value* assignment = car(called_body(car(body)));
  Value* lookup = car(cdr(cdr(assignment)));
  return car(cdr(cdr(lookup)));
}

Value* dispatcher_method_call(Value* body) {
  Value* form = car(body);
  for (int i = 1; i < nested_lets; ++i) form = second_form(called_body(form));
  Value* test = car(called_body(form));
  Value* choice = car(cdr(cdr(cdr(test))));
  return second_form(called_body(choice));
}

std::string dispatcher_frame_lines(Value* body, const std::string& if_name) {
  std::string text = "ExecFrame: " + represent(body);
  auto call = [&text](Value* form) {
    text += "\nEvalFrame: " + represent(form);
    text += "\nCallFrame: " + represent(form);
    text += "\nExecFrame: " + represent(called_body(form));
  };
  Value* form = car(body);
  call(form);
  for (int i = 1; i < nested_lets; ++i) {
    form = second_form(called_body(form));
    call(form);
  }
  Value* test = car(called_body(form));
  text += "\nEvalFrame: " + represent(test);
  text += "\nCallFrame: " + represent(test);
  text += "\nResumableNativeCallFrame: " + if_name;
  Value* choice = car(cdr(cdr(cdr(test))));
  call(choice);
  text += "\nEvalFrame: " + represent(second_form(called_body(choice)));
  return text;
}

}  // namespace brevalon

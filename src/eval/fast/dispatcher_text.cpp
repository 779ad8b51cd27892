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
  // ((fn (method-definitions) (set-symbol (quote method-definitions) (get-key method-store KEY)) ...) nil)
  Value* call = element(body, 0);
  Value* function = call ? element(call, 0) : nullptr;
  Value* assignment = function ? element(function, 2) : nullptr;
  Value* lookup = assignment ? element(assignment, 2) : nullptr;
  Value* key = lookup ? element(lookup, 2) : nullptr;
  return key && key->kind == Kind::String ? key : nullptr;
}

Value* dispatcher_method_call(Value* body) {
  Value* form = car(body);
  for (int i = 1; i < nested_lets; ++i) form = second_form(called_body(form));
  Value* test = car(called_body(form));
  Value* choice = car(cdr(cdr(cdr(test))));
  return second_form(called_body(choice));
}

// Visits the dispatcher's pending frames bottom first, giving each frame's kind and the form it
// works on (null for a frame with none), so its lines and its forms come from the one walk.
template <typename Visit>
void walk_dispatcher_frames(Value* body, Visit visit) {
  visit("ExecFrame", body, nullptr);
  auto call = [&visit](Value* form) {
    visit("EvalFrame", form, form);
    visit("CallFrame", form, form);
    visit("ExecFrame", called_body(form), nullptr);
  };
  Value* form = car(body);
  call(form);
  for (int i = 1; i < nested_lets; ++i) {
    form = second_form(called_body(form));
    call(form);
  }
  Value* test = car(called_body(form));
  visit("EvalFrame", test, test);
  visit("CallFrame", test, test);
  visit("ResumableNativeCallFrame", nullptr, nullptr);
  Value* choice = car(cdr(cdr(cdr(test))));
  call(choice);
  Value* method_call = second_form(called_body(choice));
  visit("EvalFrame", method_call, method_call);
}

std::string dispatcher_frame_lines(Value* body, const std::string& if_name) {
  std::string text;
  walk_dispatcher_frames(body, [&](const char* kind, Value* shown, Value*) {
    if (!text.empty()) text += "\n";
    text += std::string(kind) + ": " + (shown ? represent(shown) : if_name);
  });
  return text;
}

void dispatcher_frame_forms(Value* body, std::vector<Value*>& forms) {
  walk_dispatcher_frames(body, [&forms](const char*, Value*, Value* form) { forms.push_back(form); });
}

}  // namespace brevalon

// Definitions and functions: define, fn, with-exec-mode, set-symbol, unset, gensym, quote.
#include "forms/definitions.h"

#include <iterator>

#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/eval_frames.h"
#include "eval/interpreter.h"
#include "printer/printer.h"
#include "values/names.h"
#include "values/types.h"

namespace brevalon {

namespace {

// Evaluates the expression, then binds the name in the global environment; yields nil.
struct DefineState final : ResumableState, Pooled<DefineState> {
  void init(Interpreter& interpreter, Environment* environment, Value* arguments) override {
    Arguments args("define", arguments);
    args.require(2);
    name = args.named_symbol(0);
    global = interpreter.runtime.global;
    interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, args.at(1)));
  }
  bool next_step(Interpreter&) override { return true; }
  void resume(Value* value) override { global->bind(name, value); }
  void visit_edges(Visitor& visit) override {
    visit(name);
    visit(global);
  }
  Value* name = nullptr;
  Environment* global = nullptr;
};

}  // namespace

ResumableState* make_define_state(FramePools& pools) { return make_state<DefineState>(pools); }

namespace {

// The parameter list of (fn parameters body...): arriving unevaluated, (fn nil ...) holds the
// symbol nil, which stands for no parameters.
Value* parameter_list(Heap& heap, Value* parameters) {
  return is_named(parameters, heap.names.nil) ? heap.constants.nil : parameters;
}

// Reads a parameter list: the count of the parameters before a rest parameter, and that rest
// parameter or null. A list fn refuses raises fn's error, or with `quiet` gives false.
bool read_parameters(Heap& heap, Value* parameters, uint32_t& count, Value*& rest_parameter, bool quiet) {
  auto refuse = [quiet](auto raise) {
    if (!quiet) raise();
    return false;
  };
  count = 0;
  rest_parameter = nullptr;
  Value* rest = parameters;
  for (; rest->kind == Kind::Cell; rest = cdr(rest)) {
    Value* parameter = car(rest);
    if (!is_symbol(parameter))
      return refuse([&] { internal_error("fn expects a list of symbols as its parameters, got " + brief(parameters)); });
    if (is_named(parameter, heap.names.dot)) {
      Value* after = cdr(rest);
      if (after->kind != Kind::Cell)
        return refuse([] { lisp_error("parameter list must not end with . in function definition"); });
      if (car(after)->kind != Kind::NamedSymbol)
        return refuse([&] { internal_error("fn expects a named symbol as its rest parameter, got " + brief(car(after))); });
      if (cdr(after) != heap.constants.nil) {
        return refuse([&] {
          if (cdr(after)->kind == Kind::Cell) lisp_error("parameter list must end after rest parameter in function definition");
          internal_error("fn expects a proper list of parameters, got " + brief(parameters));
        });
      }
      rest_parameter = car(after);
      return true;
    }
    ++count;
  }
  if (rest != heap.constants.nil)
    return refuse([&] { internal_error("fn expects a proper list of parameters, got " + brief(parameters)); });
  return true;
}

Value* make_closure(Heap& heap, Environment* environment, Value* parameters, uint32_t count, Value* rest_parameter,
                    Value* body) {
  auto* lisp = heap.make<LispFunc>();
  lisp->closure = environment;
  lisp->body = body;
  lisp->rest_parameter = rest_parameter;
  lisp->parameters = ParameterList(parameters, count);
  // Worked out here rather than at the first call: `let` makes a closure for every use.
  lisp->parameter_shape = shape_of_parameters(lisp);
  return heap.make<Function>(mode_function, lisp);
}

}  // namespace

Value* native_fn(Interpreter& interpreter, Environment* environment, Value* arguments) {
  Arguments args("fn", arguments);
  Heap& heap = interpreter.heap;
  Value* parameters = parameter_list(heap, args.at(0));
  uint32_t count;
  Value* rest_parameter;
  read_parameters(heap, parameters, count, rest_parameter, false);
  return make_closure(heap, environment, parameters, count, rest_parameter, cdr(arguments));
}

// The operands of fn, taken as one list: anything its call or the native would refuse is left to
// them. A closure is all fn makes, so its call in place stands for its frames.
Value* quick_fn(Heap& heap, Environment* environment, Value* const* operands) {
  Value* arguments = operands[0];
  if (arguments->kind != Kind::Cell || !is_proper_list(heap, arguments)) return nullptr;
  Value* parameters = parameter_list(heap, car(arguments));
  uint32_t count;
  Value* rest_parameter;
  if (!read_parameters(heap, parameters, count, rest_parameter, true)) return nullptr;
  return make_closure(heap, environment, parameters, count, rest_parameter, cdr(arguments));
}

Value* native_with_exec_mode(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("with-exec-mode", arguments);
  args.require(2);
  Value* mode = args.named_symbol(0);
  Function* function = args.function(1);
  static const char* const mode_names[] = {"function", "macro", "no-eval", "no-expand"};
  const std::string& name = as<NamedSymbol>(mode)->name->text;
  for (uint8_t m = 0; m < std::size(mode_names); ++m)
    if (name == mode_names[m]) return interpreter.heap.make<Function>(m, function->implementation);
  lisp_error("(with-exec-mode): Unknown exec mode: " + name);
}

Value* native_set_symbol(Interpreter& interpreter, Environment* environment, Value* arguments) {
  Arguments args("set-symbol", arguments);
  args.require(2);
  Value* symbol = args.at(0);
  if (!is_symbol(symbol)) lisp_error("set-symbol: argument must be a symbol, got " + represent(symbol));
  if (environment->set_existing(symbol, args.at(1))) return interpreter.heap.constants.true_value;
  lisp_error("set-symbol: could not find a suitable variable to set symbol '" + symbol_name(symbol));
}

Value* native_unset(Interpreter& interpreter, Environment* environment, Value* arguments) {
  Value* symbol = Arguments("unset", arguments).symbol(0);
  for (Environment* env = environment; env; env = env->parent)
    if (env->remove(symbol)) return interpreter.heap.constants.true_value;
  return interpreter.heap.constants.false_value;
}

Value* native_gensym(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments("gensym", arguments).require_none();
  return interpreter.heap.make<NumSymbol>(++interpreter.runtime.num_symbol_generator);
}

Value* native_quote(Interpreter&, Environment*, Value* arguments) { return Arguments("quote", arguments).at(0); }

Value* quick_quote(Heap&, Environment*, Value* const* operands) { return operands[0]; }

// Only a symbol bound somewhere on the chain is set here; anything else is the routine's to refuse.
Value* quick_set_symbol(Heap& heap, Environment* environment, Value* const* operands) {
  if (!is_symbol(operands[0]) || !environment->set_existing(operands[0], operands[1])) return nullptr;
  return heap.constants.true_value;
}

}  // namespace brevalon

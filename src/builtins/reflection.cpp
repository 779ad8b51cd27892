// Reflection: types, docs, metadata and the closures of Brevalon functions.
#include "builtins/reflection.h"

#include "eval/arguments.h"
#include "eval/interpreter.h"
#include "base/errors.h"
#include "values/types.h"

namespace brevalon {

Value* native_get_type(Interpreter& interpreter, Environment*, Value* arguments) {
  return interpreter.heap.constants.type_of(Arguments("get-type", arguments).at(0));
}

Value* native_get_doc(Interpreter& interpreter, Environment*, Value* arguments) {
  Value* doc = interpreter.heap.doc_of(Arguments("get-doc", arguments).at(0));
  return doc ? doc : interpreter.heap.constants.nil;
}

Value* native_set_doc(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("set-doc", arguments);
  args.require(2);
  interpreter.heap.set_doc(args.at(0), args.at(1));
  return interpreter.heap.constants.nil;
}

Value* native_get_metadata(Interpreter& interpreter, Environment*, Value* arguments) {
  Value* metadata = interpreter.heap.metadata_of(Arguments("get-metadata", arguments).at(0));
  return metadata ? metadata : interpreter.heap.constants.nil;
}

Value* native_set_metadata(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("set-metadata", arguments);
  args.require(2);
  interpreter.heap.set_metadata(args.at(0), args.at(1));
  return interpreter.heap.constants.nil;
}

Value* native_get_closure(Interpreter&, Environment*, Value* arguments) {
  Value* value = Arguments("get-closure", arguments).at(0);
  if (value->kind != Kind::Function) lisp_error("(get-closure): expects a function as its argument");
  Value* impl = as<Function>(value)->implementation;
  if (impl->kind != Kind::LispFunc) lisp_error("(get-closure): can only be used on functions defined in Brevalon");
  return as<LispFunc>(impl)->closure;
}

}  // namespace brevalon

// The dictionary built-ins: dict, get-key, set-key, has-key, list-keys.
#include "builtins/dictionaries.h"

#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/interpreter.h"
#include "values/types.h"

namespace brevalon {

Value* native_dict(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments("dict", arguments).require_none();
  return interpreter.heap.make<Hashtable>();
}

Value* native_get_key(Interpreter&, Environment*, Value* arguments) {
  Arguments args("get-key", arguments);
  Hashtable* table = args.dictionary(0);
  const std::string& key = args.string(1)->text;
  Value* value = table->get(key);
  if (!value) lisp_error("trying to index dictionary with undefined key " + key);
  return value;
}

Value* native_set_key(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("set-key", arguments);
  Hashtable* table = args.dictionary(0);
  const std::string& key = args.string(1)->text;
  table->set_key(key, args.at(2));
  return interpreter.heap.constants.nil;
}

Value* native_has_key(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("has-key", arguments);
  Hashtable* table = args.dictionary(0);
  return interpreter.heap.constants.boolean(table->get(args.string(1)->text) != nullptr);
}

Value* native_list_keys(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("list-keys", arguments);
  Hashtable* table = args.dictionary(0);
  ListBuilder keys;
  for (auto& entry : table->entries()) keys.append(interpreter.heap, interpreter.heap.make<String>(entry.first));
  return keys.finish(interpreter.heap);
}

}  // namespace brevalon

// The type objects and unique constants, made once per run at start-up.
#include "values/types.h"

#include "values/class.h"
#include "memory/heap.h"

namespace brevalon {

const char* builtin_type_name(Kind kind) {
  static constexpr const char* names[kind_count] = {
      "unique", "symbol",          "symbol", "int",              "float", "str",  "cell",  "dictionary",
      "environment", "function", "lisp-function", "native-function", "resumable-native", "type", "class", nullptr};
  return names[int(kind)];
}

bool same_type(const Value* a, const Value* b) {
  if (a->kind == Kind::Instance || b->kind == Kind::Instance)
    return a->kind == b->kind && static_cast<const Instance*>(a)->cls == static_cast<const Instance*>(b)->cls;
  // Every built-in kind has a type of its own, but for the two kinds of symbol.
  auto family = [](Kind kind) { return kind == Kind::NumSymbol ? Kind::NamedSymbol : kind; };
  return family(a->kind) == family(b->kind);
}

void make_types_and_constants(Heap& heap) {
  Constants& constants = heap.constants;
  Types& types = constants.types;
  Type** kind_types = constants.kind_types;
  auto make = [&](const char* name) { return heap.make<Type>(name); };
  types.symbol = make("symbol");
  types.dictionary = make("dictionary");
  types.str = make("str");
  types.integer = make("int");
  types.cell = make("cell");
  types.environment = make("environment");
  types.class_type = make("class");
  types.floating = make("float");
  types.native_function = make("native-function");
  types.function = make("function");
  types.type = make("type");
  types.unique = make("unique");
  types.lisp_function = make("lisp-function");
  types.resumable_native = make("resumable-native");
  constants.nil = heap.make<Unique>("nil");
  constants.true_value = heap.make<Unique>("true");
  constants.false_value = heap.make<Unique>("false");

  kind_types[int(Kind::Unique)] = types.unique;
  kind_types[int(Kind::NamedSymbol)] = types.symbol;
  kind_types[int(Kind::NumSymbol)] = types.symbol;
  kind_types[int(Kind::Integer)] = types.integer;
  kind_types[int(Kind::Floating)] = types.floating;
  kind_types[int(Kind::String)] = types.str;
  kind_types[int(Kind::Cell)] = types.cell;
  kind_types[int(Kind::Hashtable)] = types.dictionary;
  kind_types[int(Kind::Environment)] = types.environment;
  kind_types[int(Kind::Function)] = types.function;
  kind_types[int(Kind::LispFunc)] = types.lisp_function;
  kind_types[int(Kind::NativeFunc)] = types.native_function;
  kind_types[int(Kind::ResumableNative)] = types.resumable_native;
  kind_types[int(Kind::Type)] = types.type;
  kind_types[int(Kind::Class)] = types.class_type;
  kind_types[int(Kind::Instance)] = nullptr;
}

Value* Constants::type_of(const Value* value) const {
  if (value->kind == Kind::Instance) return static_cast<const Instance*>(value)->cls;
  return kind_types[int(value->kind)];
}

void Constants::visit_edges(Visitor& visit) {
  for (Type* type : {types.symbol, types.dictionary, types.str, types.integer, types.cell, types.environment,
                     types.class_type, types.floating, types.native_function, types.function, types.type,
                     types.unique, types.lisp_function, types.resumable_native})
    visit(type);
  visit(nil);
  visit(true_value);
  visit(false_value);
}

}  // namespace brevalon

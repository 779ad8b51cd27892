// The type objects and unique constants, made once per run at start-up.
#include "values/types.h"

#include "values/class.h"
#include "memory/heap.h"

namespace brevalon {

const char* builtin_type_name(Kind kind) {
  // In the order of Kind.
  static constexpr const char* names[kind_count] = {
      "unique", "symbol", "symbol", "int", "float", "str", "cell", "dictionary", "environment", "function",
      "lisp-function", "native-function", "resumable-native", "type", "class", nullptr};
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
  // One type object per built-in kind, named by the one table of names; the two kinds of symbol share one.
  for (int kind = 0; kind < kind_count; ++kind) {
    const char* name = builtin_type_name(Kind(kind));
    if (Kind(kind) == Kind::NumSymbol) kind_types[kind] = kind_types[int(Kind::NamedSymbol)];
    else if (name) kind_types[kind] = heap.make<Type>(name);
  }
  auto of = [&](Kind kind) { return kind_types[int(kind)]; };
  types = Types{of(Kind::NamedSymbol), of(Kind::Hashtable),       of(Kind::String),   of(Kind::Integer),
                of(Kind::Cell),        of(Kind::Environment),     of(Kind::Class),    of(Kind::Floating),
                of(Kind::NativeFunc),  of(Kind::Function),        of(Kind::Type),     of(Kind::Unique),
                of(Kind::LispFunc),    of(Kind::ResumableNative)};
  constants.nil = heap.make<Unique>("nil");
  constants.true_value = heap.make<Unique>("true");
  constants.false_value = heap.make<Unique>("false");
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

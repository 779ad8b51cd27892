// The type objects and unique constants, made once at start-up.
#include "values/types.h"

#include "values/class.h"
#include "memory/heap.h"
#include "values/list.h"

namespace brevalon {

Types types;
Value* true_value = nullptr;
Value* false_value = nullptr;

namespace {
Type* kind_types[kind_count];
}

void make_types_and_constants(Heap& heap) {
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
  nil_value = heap.make<Unique>("nil");
  true_value = heap.make<Unique>("true");
  false_value = heap.make<Unique>("false");

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

Value* type_of(const Value* value) {
  if (value->kind == Kind::Instance) return static_cast<const Instance*>(value)->cls;
  return kind_types[int(value->kind)];
}

}  // namespace brevalon

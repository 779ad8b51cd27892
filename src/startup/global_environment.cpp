// The global environment in its fixed binding order.
#include "startup/global_environment.h"

#include "builtins/dictionaries.h"
#include "builtins/equality_native.h"
#include "builtins/files.h"
#include "builtins/lists.h"
#include "builtins/numbers.h"
#include "builtins/printing.h"
#include "builtins/reflection.h"
#include "builtins/strings.h"
#include "classes/class_natives.h"
#include "eval/driver.h"
#include "eval/error_native.h"
#include "eval/fast_paths.h"
#include "eval/load_eval_apply.h"
#include "eval/macroexpand.h"
#include "forms/conditionals.h"
#include "forms/definitions.h"
#include "forms/iteration.h"
#include "forms/quasiquote.h"
#include "startup/image.h"
#include "startup/quick_natives.h"
#include "values/function.h"
#include "values/symbol.h"
#include "values/types.h"

namespace brevalon {

namespace {

struct NativeEntry {
  const char* name;
  NativeRoutine routine;
  ResumableFactory factory;
  uint8_t mode;
};

constexpr uint8_t F = mode_function, NE = mode_no_eval, NX = mode_no_expand;

// Positions 16 to 76 of the global environment, in order. The natives at 16, 17 and 60 are
// replaced by the prelude's generics later, keeping their positions.
const NativeEntry global_natives[] = {
    {"to-string", native_to_string, nullptr, F},
    {"repr", native_repr, nullptr, F},
    {"read", native_read, nullptr, F},
    {"load", nullptr, make_load_state, F},
    {"eval", nullptr, make_eval_state, F},
    {"get-closure", native_get_closure, nullptr, F},
    {"get-doc", native_get_doc, nullptr, F},
    {"set-doc", native_set_doc, nullptr, F},
    {"get-metadata", native_get_metadata, nullptr, F},
    {"set-metadata", native_set_metadata, nullptr, F},
    {"get-type", native_get_type, nullptr, F},
    {"macroexpand", native_macroexpand, nullptr, F},
    {"with-exec-mode", native_with_exec_mode, nullptr, F},
    {"gensym", native_gensym, nullptr, F},
    {"get-attr", native_get_attr, nullptr, F},
    {"set-attr", native_set_attr, nullptr, F},
    {"make-class", nullptr, make_class_constructor_state, NE},
    {"make-instance", native_make_instance, nullptr, F},
    {"is-subclass", native_is_subclass, nullptr, F},
    {"get-class-owned-attributes", native_get_class_owned_attributes, nullptr, F},
    {"get-all-class-attributes", native_get_all_class_attributes, nullptr, F},
    {"get-class-env", native_get_class_env, nullptr, F},
    {"for", nullptr, make_for_state, NE},
    {"if", nullptr, make_if_state, NE},
    {"error", native_error, nullptr, F},
    {"quote", native_quote, nullptr, NX},
    {"quasiquote", nullptr, make_quasiquote_state, NX},
    {"not", native_not, nullptr, F},
    {"and", nullptr, make_and_state, NE},
    {"or", nullptr, make_or_state, NE},
    {"set-symbol", native_set_symbol, nullptr, F},
    {"unset", native_unset, nullptr, NE},
    {"define", nullptr, make_define_state, NE},
    {"fn", native_fn, nullptr, NE},
    {"apply", nullptr, make_apply_state, F},
    {"print", native_print, nullptr, F},
    {"write-file", native_write_file, nullptr, F},
    {"read-file", native_read_file, nullptr, F},
    {"append-file", native_append_file, nullptr, F},
    {"<", native_less, nullptr, F},
    {">", native_greater, nullptr, F},
    {"<=", native_less_equal, nullptr, F},
    {">=", native_greater_equal, nullptr, F},
    {"=", native_equal, nullptr, F},
    {"+", native_add, nullptr, F},
    {"-", native_subtract, nullptr, F},
    {"*", native_multiply, nullptr, F},
    {"car", native_car, nullptr, F},
    {"cdr", native_cdr, nullptr, F},
    {"cons", native_cons, nullptr, F},
    {"list", native_list, nullptr, F},
    {"get-key", native_get_key, nullptr, F},
    {"set-key", native_set_key, nullptr, F},
    {"has-key", native_has_key, nullptr, F},
    {"dict", native_dict, nullptr, F},
    {"list-keys", native_list_keys, nullptr, F},
    {"split", native_split, nullptr, F},
    {"join", native_join, nullptr, F},
    {"substring", native_substring, nullptr, F},
    {"strip", native_strip, nullptr, F},
    {"string-contains", native_string_contains, nullptr, F},
};

// The prelude's names, bound valueless first so that every definition lands at its fixed position.
const char* const prelude_names[] = {
    "defmacro", "def", "begin", "let", "let*", "is-instance", "has-docstring", "map", "filter", "reduce",
    "when", "cond", "is-list", "nth", "match-types", "eval-types", "method-store", "defgeneric",
    "untype-parameters", "defmethod", "add", "sum", "reverse", "length", "at", "set-at", "iter", "range",
    "to-symbol", "is-string", "is-integer", "is-symbol", "is-cons", "is-dict", "is-nil", "in", "setter-store",
    "set", "make-attr-initializer", "make-constructor", "make-getter", "make-getters", "make-setter",
    "make-setters", "defclass",
};

// Natives the prelude keeps in private scopes. They are bound under these names only while the
// prelude runs, and unbound by its last forms.
const NativeEntry private_natives[] = {
    {"%native-to-string", native_to_string, nullptr, F},
    {"%native-repr", native_repr, nullptr, F},
    {"%native-+", native_add, nullptr, F},
    {"%string-length", native_string_length, nullptr, F},
    {"%string-at", native_string_at, nullptr, F},
    {"%string->symbol", native_string_to_symbol, nullptr, F},
    {"%string-concat", native_string_concat, nullptr, F},
};
const char* const private_own_names[] = {"to-string", "repr", "+", "string-length", "string-at", "string->symbol",
                                         "string-concat"};

NativeFunc* make_native_func(Heap& heap, const std::string& own_name, NativeRoutine routine) {
  auto* native = heap.make<NativeFunc>(own_name, routine);
  give_quick_routine(native);
  return native;
}

Value* make_native(Heap& heap, const NativeEntry& entry, const char* own_name) {
  Value* impl;
  if (entry.routine) impl = make_native_func(heap, own_name, entry.routine);
  else impl = heap.make<ResumableNative>(own_name, entry.factory);
  return heap.make<Function>(entry.mode, impl);
}

}  // namespace

// Natives are named in a start-up image by their position in the two tables.
int native_index(const Value* impl) {
  int index = 0;
  for (const NativeEntry* table : {std::begin(global_natives), std::begin(private_natives)}) {
    size_t size = table == std::begin(global_natives) ? std::size(global_natives) : std::size(private_natives);
    for (size_t i = 0; i < size; ++i, ++index) {
      if (impl->kind == Kind::NativeFunc && table[i].routine == static_cast<const NativeFunc*>(impl)->routine) return index;
      if (impl->kind == Kind::ResumableNative && table[i].factory == static_cast<const ResumableNative*>(impl)->factory) return index;
    }
  }
  return -1;
}

Value* make_native_implementation(Heap& heap, int index, const std::string& own_name) {
  size_t globals = std::size(global_natives);
  if (index < 0 || size_t(index) >= globals + std::size(private_natives)) return nullptr;
  const NativeEntry& entry = size_t(index) < globals ? global_natives[index] : private_natives[index - globals];
  if (entry.routine) return make_native_func(heap, own_name, entry.routine);
  return heap.make<ResumableNative>(own_name, entry.factory);
}

void bind_natives(Runtime& runtime) {
  Heap& heap = runtime.heap;
  make_quasiquote_auxiliaries(runtime);
  Environment* global = runtime.global;
  const Constants& constants = heap.constants;
  global->set_named(heap.names.intern("true"), constants.true_value);
  global->set_named(heap.names.intern("false"), constants.false_value);
  global->set_named(heap.names.intern("nil"), constants.nil);
  global->set_named(heap.names.intern("type"), constants.types.type);
  global->set_named(heap.names.intern("integer"), constants.types.integer);
  global->set_named(heap.names.intern("string"), constants.types.str);
  global->set_named(heap.names.intern("dictionary"), constants.types.dictionary);
  global->set_named(heap.names.intern("environment"), constants.types.environment);
  global->set_named(heap.names.intern("unique"), constants.types.unique);
  global->set_named(heap.names.intern("symbol"), constants.types.symbol);
  global->set_named(heap.names.intern("cell"), constants.types.cell);
  global->set_named(heap.names.intern("function"), constants.types.function);
  global->set_named(heap.names.intern("class"), constants.types.class_type);
  for (const NativeEntry& entry : global_natives) {
    Value* function = make_native(heap, entry, entry.name);
    if (std::string_view(entry.name) == "get-key")
      heap.set_doc(function, heap.make<String>("(Internal) Set a key in a dictionary. Use (at) instead when possible"));
    global->set_named(heap.names.intern(entry.name), function);
  }
}

void build_global_environment(Runtime& runtime, std::string_view image) {
  if (!image.empty()) {
    make_quasiquote_auxiliaries(runtime);
    arm_fast_paths(runtime, load_image(runtime, image));
    return;
  }
  bind_natives(runtime);
  Environment* global = runtime.global;
  for (const char* name : prelude_names) global->set_named(runtime.heap.names.intern(name), nullptr);
  for (size_t i = 0; i < std::size(private_natives); ++i)
    global->set_named(runtime.heap.names.intern(private_natives[i].name),
                      make_native(runtime.heap, private_natives[i], private_own_names[i]));
  do_string(runtime, prelude_text);
  arm_fast_paths(runtime);
}

}  // namespace brevalon

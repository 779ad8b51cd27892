// Every native routine and resumable-native factory, by family; bound in one table at start-up.
#pragma once
#include "eval/resumable.h"
#include "values/function.h"

namespace brevalon {

#define BREVALON_NATIVE(name) Value* name(Interpreter&, Environment*, Value* arguments)

// printer
BREVALON_NATIVE(native_to_string);
BREVALON_NATIVE(native_repr);
// files and console
BREVALON_NATIVE(native_read);
BREVALON_NATIVE(native_print);
BREVALON_NATIVE(native_write_file);
BREVALON_NATIVE(native_read_file);
BREVALON_NATIVE(native_append_file);
// load, eval, apply
ResumableState* make_load_state();
ResumableState* make_eval_state();
ResumableState* make_apply_state();
// reflection
BREVALON_NATIVE(native_get_closure);
BREVALON_NATIVE(native_get_doc);
BREVALON_NATIVE(native_set_doc);
BREVALON_NATIVE(native_get_metadata);
BREVALON_NATIVE(native_set_metadata);
BREVALON_NATIVE(native_get_type);
// expansion and definitions
BREVALON_NATIVE(native_macroexpand);
BREVALON_NATIVE(native_with_exec_mode);
BREVALON_NATIVE(native_gensym);
BREVALON_NATIVE(native_set_symbol);
BREVALON_NATIVE(native_unset);
BREVALON_NATIVE(native_fn);
BREVALON_NATIVE(native_quote);
ResumableState* make_define_state();
// classes
BREVALON_NATIVE(native_get_attr);
BREVALON_NATIVE(native_set_attr);
ResumableState* make_class_constructor_state();
BREVALON_NATIVE(native_make_instance);
BREVALON_NATIVE(native_is_subclass);
BREVALON_NATIVE(native_get_class_owned_attributes);
BREVALON_NATIVE(native_get_all_class_attributes);
BREVALON_NATIVE(native_get_class_env);
// conditionals, iteration, quasiquotation, errors
ResumableState* make_for_state();
ResumableState* make_if_state();
ResumableState* make_and_state();
ResumableState* make_or_state();
ResumableState* make_quasiquote_state();
BREVALON_NATIVE(native_error);
BREVALON_NATIVE(native_not);
// numbers and equality
BREVALON_NATIVE(native_less);
BREVALON_NATIVE(native_greater);
BREVALON_NATIVE(native_less_equal);
BREVALON_NATIVE(native_greater_equal);
BREVALON_NATIVE(native_equal);
BREVALON_NATIVE(native_add);
BREVALON_NATIVE(native_subtract);
BREVALON_NATIVE(native_multiply);
// lists
BREVALON_NATIVE(native_car);
BREVALON_NATIVE(native_cdr);
BREVALON_NATIVE(native_cons);
BREVALON_NATIVE(native_list);
// dictionaries
BREVALON_NATIVE(native_get_key);
BREVALON_NATIVE(native_set_key);
BREVALON_NATIVE(native_has_key);
BREVALON_NATIVE(native_dict);
BREVALON_NATIVE(native_list_keys);
// strings
BREVALON_NATIVE(native_split);
BREVALON_NATIVE(native_join);
BREVALON_NATIVE(native_substring);
BREVALON_NATIVE(native_strip);
BREVALON_NATIVE(native_string_contains);
BREVALON_NATIVE(native_string_length);
BREVALON_NATIVE(native_string_at);
BREVALON_NATIVE(native_string_to_symbol);
BREVALON_NATIVE(native_string_concat);

struct Runtime;
void make_quasiquote_auxiliaries(Runtime& runtime);

#undef BREVALON_NATIVE

}  // namespace brevalon

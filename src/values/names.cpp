// Names the interpreter itself looks for, interned once.
#include "values/names.h"

namespace brevalon::names {

const Name* current_scope = intern("current-scope");
const Name* parent_scope = intern("parent-scope");
const Name* dot = intern(".");
const Name* unquote = intern("unquote");
const Name* unquote_splicing = intern("unquote-splicing");
const Name* quote = intern("quote");
const Name* quasiquote = intern("quasiquote");
const Name* to_string = intern("to-string");
const Name* nil = intern("nil");

}  // namespace brevalon::names

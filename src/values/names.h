// Names the interpreter itself looks for, interned once.
#pragma once
#include "values/symbol.h"

namespace brevalon::names {

extern const Name* current_scope;
extern const Name* parent_scope;
extern const Name* dot;
extern const Name* unquote;
extern const Name* unquote_splicing;
extern const Name* quote;
extern const Name* quasiquote;
extern const Name* to_string;
extern const Name* nil;

}  // namespace brevalon::names

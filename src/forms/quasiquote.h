// The quasiquote form.
#pragma once
#include "eval/resumable.h"
#include "values/function.h"

namespace brevalon {

ResumableState* make_quasiquote_state(FramePools& pools);

struct Runtime;
// The unquote, unquote-splicing and nested quasiquote natives a template's levels call, made once per runtime.
void make_quasiquote_auxiliaries(Runtime& runtime);

}  // namespace brevalon

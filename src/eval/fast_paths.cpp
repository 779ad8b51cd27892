// The + fast path: integer and string addition without the generic dispatch, when nothing was rebound.
#include "eval/fast_paths.h"

#include "values/arithmetic.h"
#include "eval/runtime.h"
#include "values/dictionary.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"

namespace brevalon {

void arm_fast_paths(Runtime& runtime) {
  if constexpr (!fast_paths_built) return;
  uint64_t* counter = &runtime.fast_paths.watched_changes;
  runtime.heap.for_each_object([counter](Value* value) {
    if (value->kind == Kind::Environment) {
      auto* env = as<Environment>(value);
      env->watch_counter = counter;
      for (size_t i = 0; i < env->named_count(); ++i) env->named_at(i).name->watched = true;
    } else if (value->kind == Kind::Hashtable) {
      as<Hashtable>(value)->watch_counter = counter;
    }
  });
  NamedSymbol plus(runtime.heap.names.intern("+"));
  runtime.fast_paths.plus = runtime.global->lookup(&plus);
}

Value* fast_plus(Runtime& runtime, Value* arguments) {
  if (arguments->kind != Kind::Cell) return nullptr;
  Kind kind = car(arguments)->kind;
  if (kind != Kind::Integer && kind != Kind::String) return nullptr;
  Value* rest = arguments;
  for (; rest->kind == Kind::Cell; rest = cdr(rest))
    if (car(rest)->kind != kind) return nullptr;
  if (rest != runtime.heap.constants.nil) return nullptr;
  // One argument comes back itself: reduce never calls add.
  if (cdr(arguments) == runtime.heap.constants.nil) return car(arguments);
  if (kind == Kind::Integer) {
    int64_t sum = as<Integer>(car(arguments))->value;
    for (rest = cdr(arguments); rest->kind == Kind::Cell; rest = cdr(rest))
      sum = add_through_double(sum, as<Integer>(car(rest))->value);
    return runtime.heap.make<Integer>(sum);
  }
  std::string text;
  for (rest = arguments; rest->kind == Kind::Cell; rest = cdr(rest)) text += as<String>(car(rest))->text;
  return runtime.heap.make<String>(std::move(text));
}

}  // namespace brevalon

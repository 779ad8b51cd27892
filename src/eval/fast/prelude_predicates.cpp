// The type predicates answered from the value's type without running their text.
#include "eval/fast/prelude_predicates.h"

#include "eval/fast/subclass.h"
#include "eval/runtime.h"
#include "values/class.h"
#include "values/types.h"

namespace brevalon {
namespace {

// The step-by-step predicates need a handful of frames (is-list the most, through is-instance,
// is-subclass and get-type), and those beside them.
constexpr size_t predicate_frames = 64;
constexpr size_t frames_beside = 1000;

Answer is_instance(const Runtime& runtime, Value* value, Value* type) {
  return subclass(runtime.heap.constants.type_of(value), type, 0);
}

Value* answer_value(const Runtime& runtime, Answer answer) {
  if (answer == Answer::unknown) return nullptr;
  return runtime.heap.constants.boolean(answer == Answer::yes);
}

Value* global_value(Runtime& runtime, const char* name) {
  NamedSymbol symbol(runtime.heap.names.intern(name));
  return runtime.global->lookup(&symbol);
}

}  // namespace

bool predicate_types_in_place(Runtime& runtime) {
  const Types& types = runtime.heap.constants.types;
  return global_value(runtime, "string") == types.str && global_value(runtime, "integer") == types.integer &&
         global_value(runtime, "symbol") == types.symbol && global_value(runtime, "cell") == types.cell &&
         global_value(runtime, "dictionary") == types.dictionary &&
         global_value(runtime, "nil") == runtime.heap.constants.nil;
}

Value* native_predicate(Runtime& runtime, Predicate predicate, Value* first, Value* second) {
  if (runtime.frame_count + frames_beside + predicate_frames > Runtime::max_frames) return nullptr;
  const Constants& constants = runtime.heap.constants;
  const Types& types = constants.types;
  switch (predicate) {
    case Predicate::is_string:
      return answer_value(runtime, is_instance(runtime, first, types.str));
    case Predicate::is_integer:
      return answer_value(runtime, is_instance(runtime, first, types.integer));
    case Predicate::is_symbol:
      return answer_value(runtime, is_instance(runtime, first, types.symbol));
    case Predicate::is_cons:
      return answer_value(runtime, is_instance(runtime, first, types.cell));
    case Predicate::is_dict:
      return answer_value(runtime, is_instance(runtime, first, types.dictionary));
    // = compares a unique constant by identity and a value of another type as different, so
    // nothing but nil equals nil.
    case Predicate::is_nil:
      return constants.boolean(first == constants.nil);
    case Predicate::is_list:
      if (first == constants.nil) return constants.true_value;
      return answer_value(runtime, is_instance(runtime, first, types.cell));
    case Predicate::is_instance:
      return answer_value(runtime, is_instance(runtime, first, second));
  }
  return nullptr;
}

}  // namespace brevalon

// The class built-ins: make-class, make-instance, attribute access, is-subclass and class reflection.
#include "classes/class_natives.h"

#include "values/class.h"
#include "eval/arguments.h"
#include "base/errors.h"
#include "eval/eval_frames.h"
#include "eval/interpreter.h"
#include "values/types.h"

namespace brevalon {

namespace {

// Own attributes first, then each parent's attributes in order, depth first; repeats are kept.
void discover_attributes(Class* cls, std::vector<const Name*>& out) {
  out.insert(out.end(), cls->own_attributes.begin(), cls->own_attributes.end());
  for (Value* parent : cls->parents) out.insert(out.end(), as<Class>(parent)->attributes.begin(), as<Class>(parent)->attributes.end());
}

// Evaluates the parent expressions one at a time, then makes the class in the calling environment.
struct ClassConstructorState final : ResumableState {
  void init(Interpreter& interpreter, Environment* env, Value* arguments) override {
    Arguments args("make-class", arguments);
    Value* parent_forms = args.at(0);
    if (!is_proper_list(interpreter.heap, parent_forms)) args.wrong_kind(0, "a list of parent classes");
    remaining_parents = parent_forms;
    attribute_forms = cdr(arguments);
    for (Value* rest = attribute_forms; rest->kind == Kind::Cell; rest = cdr(rest))
      if (car(rest)->kind != Kind::NamedSymbol)
        internal_error("make-class expects named symbols as attribute names, got " + brief(car(rest)));
    environment = env;
    cls = interpreter.heap.make<Class>();
  }
  bool next_step(Interpreter& interpreter) override {
    if (remaining_parents->kind == Kind::Cell) {
      Value* form = car(remaining_parents);
      remaining_parents = cdr(remaining_parents);
      interpreter.push(new (interpreter.heap.frame_pools) EvalFrame(environment, form));
      return false;
    }
    for (Value* rest = attribute_forms; rest->kind == Kind::Cell; rest = cdr(rest))
      cls->own_attributes.push_back(as<NamedSymbol>(car(rest))->name);
    discover_attributes(cls, cls->attributes);
    for (size_t i = 0; i < cls->attributes.size(); ++i) cls->slot_index[cls->attributes[i]] = i;
    cls->class_env = environment;
    return true;
  }
  void resume(Value* value) override {
    if (value->kind != Kind::Class) internal_error("make-class expects classes as parents, got " + brief(value));
    cls->parents.push_back(value);
  }
  Value* result(Heap&) override { return cls; }
  void visit_edges(Visitor& visit) override {
    visit(remaining_parents);
    visit(attribute_forms);
    visit(environment);
    visit(cls);
  }

  Value* remaining_parents = nullptr;
  Value* attribute_forms = nullptr;
  Environment* environment = nullptr;
  Class* cls = nullptr;
};

size_t slot_of(Instance* instance, Value* symbol) {
  auto found = instance->cls->slot_index.find(as<NamedSymbol>(symbol)->name);
  if (found == instance->cls->slot_index.end()) lisp_error("cannot access an undefined attribute");
  return found->second;
}

Value* symbols_of(Heap& heap, const std::vector<const Name*>& names) {
  ListBuilder list;
  for (const Name* name : names) list.append(heap, heap.make<NamedSymbol>(name));
  return list.finish(heap);
}

}  // namespace

ResumableState* make_class_constructor_state(FramePools& pools) { return make_state<ClassConstructorState>(pools); }

Value* native_make_instance(Interpreter& interpreter, Environment*, Value* arguments) {
  Class* cls = Arguments("make-instance", arguments).class_value(0);
  return interpreter.heap.make<Instance>(cls, cls->attributes.size(), interpreter.heap.constants.nil);
}

Value* native_get_attr(Interpreter&, Environment*, Value* arguments) {
  Arguments args("get-attr", arguments);
  Instance* instance = args.instance(0);
  return instance->values[slot_of(instance, args.named_symbol(1))];
}

Value* native_set_attr(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("set-attr", arguments);
  args.require(3);
  Instance* instance = args.instance(0);
  instance->values[slot_of(instance, args.named_symbol(1))] = args.at(2);
  return interpreter.heap.constants.nil;
}

namespace {
// The search recurses on the machine stack, so a chain of parents deeper than this is not followed.
constexpr int max_subclass_search_depth = 10000;

bool is_subclass(Value* a, Value* b, int depth) {
  if (a == b) return true;
  if (a->kind != Kind::Class || depth > max_subclass_search_depth) return false;
  for (Value* parent : as<Class>(a)->parents)
    if (parent == b || is_subclass(parent, b, depth + 1)) return true;
  return false;
}
}  // namespace

Value* native_is_subclass(Interpreter& interpreter, Environment*, Value* arguments) {
  Arguments args("is-subclass", arguments);
  args.require(2);
  return interpreter.heap.constants.boolean(is_subclass(args.at(0), args.at(1), 0));
}

Value* native_get_class_owned_attributes(Interpreter& interpreter, Environment*, Value* arguments) {
  return symbols_of(interpreter.heap, Arguments("get-class-owned-attributes", arguments).class_value(0)->own_attributes);
}

Value* native_get_all_class_attributes(Interpreter& interpreter, Environment*, Value* arguments) {
  return symbols_of(interpreter.heap, Arguments("get-all-class-attributes", arguments).class_value(0)->attributes);
}

Value* native_get_class_env(Interpreter&, Environment*, Value* arguments) {
  return Arguments("get-class-env", arguments).class_value(0)->class_env;
}

}  // namespace brevalon

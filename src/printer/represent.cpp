// The literal form: strings quoted, functions as the fn form that makes them, environments and dictionaries as blocks.
#include "base/errors.h"
#include "base/output.h"
#include "printer/print_job.h"
#include "printer/printer.h"
#include "values/class.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/list.h"
#include "values/types.h"

namespace brevalon {

namespace {
// An entry of a block is its key after this indent, a space, then the value, whose further lines
// are indented as far as the key ends.
constexpr std::string_view dictionary_indent = "      ";
constexpr std::string_view environment_indent = "     ";
// An environment's parent block sits in parentheses, its lines one column right of them.
constexpr std::string_view parent_opening = "     (";
}  // namespace

void PrintJob::write_literal(Value* value) {
  switch (value->kind) {
    case Kind::Integer:
    case Kind::Floating:
    case Kind::NamedSymbol:
    case Kind::NumSymbol:
    case Kind::Cell:
      write_display(value);
      return;
    case Kind::String:
      append("\"");
      append(as<String>(value)->text);
      append("\"");
      return;
    case Kind::Environment:
      write_environment(as<Environment>(value));
      return;
    case Kind::Hashtable:
      write_dictionary(as<Hashtable>(value));
      return;
    case Kind::Unique:
      append(as<Unique>(value)->name);
      return;
    case Kind::Function:
      write_function(as<Function>(value));
      return;
    case Kind::LispFunc:
    case Kind::NativeFunc:
    case Kind::ResumableNative:
      internal_error("a bare function implementation has no literal form");
    case Kind::Type:
      append("<type " + as<Type>(value)->name + ">");
      return;
    case Kind::Class:
      write_class(as<Class>(value));
      return;
    case Kind::Instance:
      internal_error("an instance of a class has no literal form");
  }
}

void PrintJob::write_dictionary(Hashtable* table) {
  if (table->size() == 0) {
    append("(dict)");
    return;
  }
  append("(dict");
  push({.step = Step::entries, .value = table});
}

void PrintJob::continue_entries(const Task& task) {
  auto* table = as<Hashtable>(task.value);
  if (task.index == table->size()) {
    append(")");
    return;
  }
  const auto& [key, value] = table->entries()[task.index];
  push({.step = Step::entries, .index = task.index + 1, .value = table});
  append("\n");
  append(dictionary_indent);
  append(key);
  append(" ");
  push_nested(value, dictionary_indent.size() + key.size(), "");
}

void PrintJob::write_environment(Environment* env) {
  if (!env->parent) {
    append("(env ()");
    push({.step = Step::bindings, .value = env});
    return;
  }
  append("(env\n");
  append(parent_opening);
  push({.step = Step::bindings, .value = env});
  push_nested(env->parent, parent_opening.size(), ")");
}

// Bindings are counted named ones first, then numbered ones; the two reserved bindings and
// bindings without a value are not shown.
void PrintJob::continue_bindings(const Task& task) {
  auto* env = as<Environment>(task.value);
  size_t index = task.index;
  for (; index < env->named_count(); ++index) {
    const Binding& binding = env->named_at(index);
    if (!binding.value) continue;
    // The two reserved bindings; names are interned, so equal text is the same name.
    if (binding.name->text == "current-scope" && binding.value == env) continue;
    if (binding.name->text == "parent-scope") continue;
    push({.step = Step::bindings, .index = index + 1, .value = env});
    append("\n");
    append(environment_indent);
    append(binding.name->text);
    append(" ");
    push_nested(binding.value, environment_indent.size() + binding.name->text.size(), "");
    return;
  }
  for (; index - env->named_count() < env->numbered_count(); ++index) {
    NumberedBinding binding = env->numbered_at(index - env->named_count());
    if (!binding.value) continue;
    std::string key = "<symbol #" + std::to_string(binding.number) + ">";
    push({.step = Step::bindings, .index = index + 1, .value = env});
    append("\n");
    append(environment_indent);
    append(key);
    append(" ");
    push_nested(binding.value, environment_indent.size() + key.size(), "");
    return;
  }
  append(")");
}

void PrintJob::write_class(Class* cls) {
  append("(class ");
  if (cls->parents.empty()) append("nil");
  else append("(");
  push({.step = Step::parents, .value = cls});
}

void PrintJob::continue_parents(const Task& task) {
  auto* cls = as<Class>(task.value);
  if (task.index < cls->parents.size()) {
    if (task.index) append(" ");
    push({.step = Step::parents, .index = task.index + 1, .value = cls});
    push({.step = Step::literal, .value = cls->parents[task.index]});
    return;
  }
  if (!cls->parents.empty()) append(")");
  append(" ");
  if (cls->own_attributes.empty()) {
    append("nil");
  } else {
    append("(");
    for (size_t i = 0; i < cls->own_attributes.size(); ++i) {
      if (i) append(" ");
      append(cls->own_attributes[i]->text);
    }
    append(")");
  }
  append(")");
}

void PrintJob::write_function(Function* function) {
  static const char* const mode_prefix[] = {"", "(with-exec-mode 'macro ", "(with-exec-mode 'no-eval ",
                                            "(with-exec-mode 'no-expand "};
  if (function->exec_mode > mode_no_expand) {
    write_line("unknown exec mode: " + std::to_string(function->exec_mode));
    internal_error("unknown exec mode: " + std::to_string(function->exec_mode));
  }
  append(mode_prefix[function->exec_mode]);
  Value* impl = function->implementation;
  if (impl->kind != Kind::LispFunc) {
    append("(native-function ");
    append(impl->kind == Kind::NativeFunc ? as<NativeFunc>(impl)->name : as<ResumableNative>(impl)->name);
    append(function->exec_mode == mode_function ? ")" : "))");
    return;
  }
  append("(fn (");
  push({.step = Step::parameters, .value = function});
}

// The parameters, then " . " and the rest parameter when there is one, then the body.
void PrintJob::continue_parameters(const Task& task) {
  auto* function = as<Function>(task.value);
  auto* lisp = as<LispFunc>(function->implementation);
  size_t count = lisp->parameters.size();
  if (task.index < count) {
    if (task.index) append(" ");
    push({.step = Step::parameters, .index = task.index + 1, .value = function});
    push({.step = Step::literal, .value = lisp->parameters[task.index]});
    return;
  }
  if (task.index == count && lisp->rest_parameter) {
    append(count ? " . " : ". ");
    push({.step = Step::parameters, .index = task.index + 1, .value = function});
    push({.step = Step::literal, .value = lisp->rest_parameter});
    return;
  }
  append(")");
  write_body(function);
}

// The body forms separated by spaces, as the body list's text without its parentheses.
void PrintJob::write_body(Function* function) {
  Value* body = as<LispFunc>(function->implementation)->body;
  const char* closing = function->exec_mode == mode_function ? ")" : "))";
  append(" ");
  if (!body || body->kind != Kind::Cell) {
    append("nil");
    append(closing);
    return;
  }
  push({.step = Step::close, .text = closing});
  push({.step = Step::body_rest, .first = true, .value = body});
}

std::string represent(Value* value) { return PrintJob().run(value, true); }

std::string represent_type_of(Value* value) {
  if (value->kind == Kind::Instance) return represent(as<Instance>(value)->cls);
  return std::string("<type ") + builtin_type_name(value->kind) + ">";
}

}  // namespace brevalon

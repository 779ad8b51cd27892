// The literal form: strings quoted, functions as the fn form that makes them, environments and dictionaries as blocks.
#include "values/class.h"
#include "base/errors.h"
#include "base/output.h"
#include "base/stack_guard.h"
#include "printer/printer.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/list.h"
#include "values/types.h"

namespace brevalon {

namespace {

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string_view::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  lines.push_back(text.substr(start));
  return lines;
}

// An entry is the key after the indent, then the value's lines aligned under the first one.
void append_entry(std::vector<std::string>& lines, std::string_view indent, std::string_view key, Value* value,
                  int depth) {
  std::string text;
  append_represent(text, value, depth + 1);
  std::string prefix = std::string(indent) + std::string(key);
  auto pieces = split_lines(text);
  lines.push_back(prefix + " " + std::string(pieces[0]));
  for (size_t i = 1; i < pieces.size(); ++i) lines.push_back(std::string(prefix.size(), ' ') + std::string(pieces[i]));
}

void append_joined(std::string& out, const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += '\n';
    out += lines[i];
  }
}

void append_dictionary(std::string& out, Hashtable* table, int depth) {
  if (table->size() == 0) {
    out += "(dict)";
    return;
  }
  std::vector<std::string> lines;
  for (auto& [key, value] : table->entries()) append_entry(lines, "      ", key, value, depth);
  out += "(dict\n";
  append_joined(out, lines);
  out += ')';
}

void append_environment(std::string& out, Environment* env, int depth) {
  std::vector<std::string> lines;
  if (env->parent) {
    std::string parent_text;
    append_represent(parent_text, env->parent, depth + 1);
    auto pieces = split_lines(parent_text);
    if (pieces.size() == 1) {
      lines.push_back("     (" + std::string(pieces[0]) + ")");
    } else {
      lines.push_back("     (" + std::string(pieces[0]));
      for (size_t i = 1; i + 1 < pieces.size(); ++i) lines.push_back("      " + std::string(pieces[i]));
      lines.push_back("      " + std::string(pieces.back()) + ")");
    }
  }
  for (size_t i = 0; i < env->named_count(); ++i) {
    const Binding& binding = env->named_at(i);
    if (!binding.value) continue;
    // The two reserved bindings; names are interned, so equal text is the same name.
    if (binding.name->text == "current-scope" && binding.value == env) continue;
    if (binding.name->text == "parent-scope") continue;
    append_entry(lines, "     ", binding.name->text, binding.value, depth);
  }
  for (auto& binding : env->numbered()) {
    if (!binding.value) continue;
    append_entry(lines, "     ", "<symbol #" + std::to_string(binding.number) + ">", binding.value, depth);
  }
  if (env->parent) {
    out += "(env\n";
  } else if (lines.empty()) {
    out += "(env ())";
    return;
  } else {
    out += "(env ()\n";
  }
  append_joined(out, lines);
  out += ')';
}

void append_symbols_list(std::string& out, const std::vector<const Name*>& names) {
  if (names.empty()) {
    out += "nil";
    return;
  }
  out += '(';
  for (size_t i = 0; i < names.size(); ++i) {
    if (i) out += ' ';
    out += names[i]->text;
  }
  out += ')';
}

void append_class(std::string& out, Class* cls, int depth) {
  out += "(class ";
  if (cls->parents.empty()) {
    out += "nil";
  } else {
    out += '(';
    for (size_t i = 0; i < cls->parents.size(); ++i) {
      if (i) out += ' ';
      append_represent(out, cls->parents[i], depth + 1);
    }
    out += ')';
  }
  out += ' ';
  append_symbols_list(out, cls->own_attributes);
  out += ')';
}

void append_function(std::string& out, Function* function, int depth) {
  static const char* const mode_prefix[] = {"", "(with-exec-mode 'macro ", "(with-exec-mode 'no-eval ",
                                            "(with-exec-mode 'no-expand "};
  if (function->exec_mode > 3) {
    write_line("unknown exec mode: " + std::to_string(function->exec_mode));
    internal_error("unknown exec mode: " + std::to_string(function->exec_mode));
  }
  out += mode_prefix[function->exec_mode];
  Value* impl = function->implementation;
  if (impl->kind == Kind::LispFunc) {
    auto* lisp = as<LispFunc>(impl);
    out += "(fn ";
    if (lisp->parameters.empty() && !lisp->rest_parameter) {
      out += "()";
    } else {
      out += '(';
      bool first = true;
      for (Value* parameter : lisp->parameters) {
        if (!first) out += ' ';
        first = false;
        append_represent(out, parameter, depth + 1);
      }
      if (lisp->rest_parameter) {
        out += first ? ". " : " . ";
        append_represent(out, lisp->rest_parameter, depth + 1);
      }
      out += ')';
    }
    out += ' ';
    if (lisp->body->kind != Kind::Cell) {
      out += "nil";
    } else {
      std::string body;
      append_represent(body, lisp->body, depth + 1);
      out.append(body, 1, body.size() - 2);
    }
    out += ')';
  } else {
    out += "(native-function ";
    out += impl->kind == Kind::NativeFunc ? as<NativeFunc>(impl)->name : as<ResumableNative>(impl)->name;
    out += ')';
  }
  if (function->exec_mode != mode_function) out += ')';
}

}  // namespace

void append_represent(std::string& out, Value* value, int depth) {
  guard_print(out, depth);
  switch (value->kind) {
    case Kind::Integer:
    case Kind::Floating:
    case Kind::NamedSymbol:
    case Kind::NumSymbol:
    case Kind::Cell:
      append_to_string(out, value, depth);
      return;
    case Kind::String:
      out += '"';
      out += as<String>(value)->text;
      out += '"';
      return;
    case Kind::Environment:
      append_environment(out, as<Environment>(value), depth);
      return;
    case Kind::Hashtable:
      append_dictionary(out, as<Hashtable>(value), depth);
      return;
    case Kind::Unique:
      out += as<Unique>(value)->name;
      return;
    case Kind::Function:
      append_function(out, as<Function>(value), depth);
      return;
    case Kind::LispFunc:
    case Kind::NativeFunc:
    case Kind::ResumableNative:
      internal_error("a bare function implementation has no literal form");
    case Kind::Type:
      out += "<type " + as<Type>(value)->name + ">";
      return;
    case Kind::Class:
      append_class(out, as<Class>(value), depth);
      return;
    case Kind::Instance:
      internal_error("an instance of a class has no literal form");
  }
}

std::string represent(Value* value) {
  std::string out;
  append_represent(out, value, 0);
  return out;
}

std::string represent_type_of(Value* value) {
  if (value->kind == Kind::Instance) return represent(as<Instance>(value)->cls);
  return std::string("<type ") + builtin_type_name(value->kind) + ">";
}

}  // namespace brevalon

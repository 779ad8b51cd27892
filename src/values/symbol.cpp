// Name interning and symbol identity.
#include "values/symbol.h"

#include <memory>
#include <unordered_map>

namespace brevalon {

const Name* intern(std::string_view text) {
  static std::unordered_map<std::string_view, std::unique_ptr<Name>> table;
  auto found = table.find(text);
  if (found != table.end()) return found->second.get();
  auto name = std::make_unique<Name>(Name{std::string(text)});
  const Name* result = name.get();
  table.emplace(std::string_view(result->text), std::move(name));
  return result;
}

bool symbol_equal(const Value* a, const Value* b) {
  if (a->kind != b->kind) return false;
  if (a->kind == Kind::NamedSymbol)
    return static_cast<const NamedSymbol*>(a)->name == static_cast<const NamedSymbol*>(b)->name;
  if (a->kind == Kind::NumSymbol)
    return static_cast<const NumSymbol*>(a)->number == static_cast<const NumSymbol*>(b)->number;
  return false;
}

std::string symbol_name(const Value* symbol) {
  if (symbol->kind == Kind::NamedSymbol) return static_cast<const NamedSymbol*>(symbol)->name->text;
  return std::to_string(static_cast<const NumSymbol*>(symbol)->number);
}

}  // namespace brevalon

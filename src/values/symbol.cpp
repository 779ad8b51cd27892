// Symbol identity and the text of a symbol.
#include "values/symbol.h"

namespace brevalon {

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

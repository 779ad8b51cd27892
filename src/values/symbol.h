// Symbols: named ones share their stored name text, generated ones carry a number.
#pragma once
#include "values/value.h"

namespace brevalon {

// A name's text is stored once per run (see Names); names compare by the identity of this object.
// A name lives while a symbol, a binding or a class attribute holds it, or the run itself does.
struct Name {
  std::string text;
  // Set by the collector's marking for a name still held; the name table drops the others.
  mutable bool marked = false;
  // A name the interpreter itself holds (Names' own members): never dropped.
  bool permanent = false;
  // Set for names whose start-up bindings a fast path relies on: one bit per group of fast paths,
  // each group with its own counter of changes (see note_watched_change).
  mutable uint8_t watch_groups = 0;
  // Where this name was last found in a large (hash-indexed) environment; checked before use.
  mutable uint32_t cached_index = 0;
  // Where this name was last found in a small (searched) environment: a function's parameter sits
  // at the same place in every scope its calls make. Checked before use.
  mutable uint32_t slot_hint = 0;
  // One bit picked by the text: a scope whose filter lacks it has no binding of this name. Zero for
  // the reserved names every scope binds, which are always searched for.
  uint64_t filter_bit = 0;
  // The one scope that has ever bound this name, or `scattered` once a second scope has: a name
  // bound only ever in the global scope is looked up there without walking a chain. Only the
  // scopes that hold bindings of it matter, so a dead home that left none behind misleads no one.
  mutable const void* home = nullptr;
  // The value this name is bound to in the run's global scope, null when it is bound to none there:
  // written by that scope's write paths (see Environment::mirror_names), and read where `home` says
  // that scope is the only one that binds the name.
  mutable Value* global_value = nullptr;
  static inline const char scattered_mark = 0;
  static constexpr const void* scattered = &scattered_mark;
  // current-scope and parent-scope, which every scope binds from its start.
  bool reserved() const { return filter_bit == 0; }
};

// Every change of a watched name in a watched scope bumps the counter of each group the name is in.
inline void note_watched_change(uint64_t* counters, uint8_t groups) {
  for (unsigned group = 0; groups; ++group, groups >>= 1)
    if (groups & 1) ++counters[group];
}

// What holds a name reports it while the collector marks, as it reports the values it holds.
inline void mark_name(const Name* name) { name->marked = true; }

struct NamedSymbol : Value {
  static constexpr bool needs_destructor = false;
  explicit NamedSymbol(const Name* n) : Value(Kind::NamedSymbol), name(n) {}
  void visit_edges(Visitor&) override { mark_name(name); }
  const Name* name;
};

struct NumSymbol : Value {
  static constexpr bool needs_destructor = false;
  explicit NumSymbol(int64_t n) : Value(Kind::NumSymbol), number(n) {}
  int64_t number;
};

inline bool is_symbol(const Value* v) { return v->kind == Kind::NamedSymbol || v->kind == Kind::NumSymbol; }
inline bool is_named(const Value* v, const Name* name) {
  return v->kind == Kind::NamedSymbol && static_cast<const NamedSymbol*>(v)->name == name;
}

// A generated symbol never equals a named one, whatever its printed form.
bool symbol_equal(const Value* a, const Value* b);

// The name text of a named symbol, or the decimal number of a generated one.
std::string symbol_name(const Value* symbol);

}  // namespace brevalon

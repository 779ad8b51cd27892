// One run's interned names, among them the names the interpreter itself looks for.
#pragma once
#include <memory>
#include <string_view>
#include <unordered_map>

#include "values/symbol.h"

namespace brevalon {

// The one table through which a name's text becomes its Name; a run's heap owns it. The table is
// weak: a name nothing holds any more is dropped by the collector, and the same text interned
// later makes a new Name, which no live value can tell from the old one. The per-name caches a
// Name carries belong to its run alone.
class Names {
 public:
  Names();
  Names(const Names&) = delete;
  Names& operator=(const Names&) = delete;

  const Name* intern(std::string_view text);

  // Called by the collector after marking and before sweeping: drops the names no live value
  // marked, and clears the marks of the others for the next collection.
  void drop_unmarked();
  size_t size() const { return table_.size(); }
  // Every name interned so far is kept for the rest of the run: the values of the start-up image
  // that hold them are no longer marked (see Heap::make_image_permanent).
  void make_all_permanent() {
    for (auto& entry : table_) entry.second->permanent = true;
  }

 private:
  Name* find_or_add(std::string_view text);
  const Name* intern_permanent(std::string_view text);
  // A name every scope binds: no scope's filter holds it, so it is always searched for.
  const Name* intern_reserved(std::string_view text);

  std::unordered_map<std::string_view, std::unique_ptr<Name>> table_;

 public:
  // The names the interpreter itself looks for, held for the whole run; declared after the table
  // they are interned into.
  const Name* const current_scope = intern_reserved("current-scope");
  const Name* const parent_scope = intern_reserved("parent-scope");
  const Name* const dot = intern_permanent(".");
  const Name* const unquote = intern_permanent("unquote");
  const Name* const unquote_splicing = intern_permanent("unquote-splicing");
  const Name* const quote = intern_permanent("quote");
  const Name* const quasiquote = intern_permanent("quasiquote");
  const Name* const to_string = intern_permanent("to-string");
  const Name* const nil = intern_permanent("nil");
};

}  // namespace brevalon

// One run's interned names, among them the names the interpreter itself looks for.
#pragma once
#include <memory>
#include <string_view>
#include <unordered_map>

#include "values/symbol.h"

namespace brevalon {

// The one table through which a name's text becomes its Name; a run's heap owns it. Names live as
// long as the run, and the per-name caches they carry belong to that run alone.
class Names {
 public:
  Names();
  Names(const Names&) = delete;
  Names& operator=(const Names&) = delete;

  const Name* intern(std::string_view text);

 private:
  std::unordered_map<std::string_view, std::unique_ptr<Name>> table_;

 public:
  // The names the interpreter itself looks for; declared after the table they are interned into.
  const Name* const current_scope = intern("current-scope");
  const Name* const parent_scope = intern("parent-scope");
  const Name* const dot = intern(".");
  const Name* const unquote = intern("unquote");
  const Name* const unquote_splicing = intern("unquote-splicing");
  const Name* const quote = intern("quote");
  const Name* const quasiquote = intern("quasiquote");
  const Name* const to_string = intern("to-string");
  const Name* const nil = intern("nil");
};

}  // namespace brevalon

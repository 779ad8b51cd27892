// Name interning: one Name per text in a run.
#include "values/names.h"

namespace brevalon {

Names::Names() = default;

const Name* Names::intern(std::string_view text) {
  auto found = table_.find(text);
  if (found != table_.end()) return found->second.get();
  auto name = std::make_unique<Name>(Name{std::string(text)});
  const Name* result = name.get();
  table_.emplace(std::string_view(result->text), std::move(name));
  return result;
}

}  // namespace brevalon

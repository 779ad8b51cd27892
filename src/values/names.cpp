// Name interning: one Name per text in a run, for as long as something holds it.
#include "values/names.h"

#include <functional>

namespace brevalon {

namespace {
// A table emptied this far below its bucket count gives the buckets back: a program that made
// a great many names and dropped them keeps no table sized for them.
constexpr size_t shrink_ratio = 8;
constexpr size_t smallest_shrunk_table = 1024;
}  // namespace

Names::Names() = default;

Name* Names::find_or_add(std::string_view text) {
  auto found = table_.find(text);
  if (found != table_.end()) return found->second.get();
  auto name = std::make_unique<Name>(Name{std::string(text)});
  name->filter_bit = uint64_t{1} << (std::hash<std::string_view>{}(text) % 64);
  Name* result = name.get();
  table_.emplace(std::string_view(result->text), std::move(name));
  return result;
}

const Name* Names::intern(std::string_view text) { return find_or_add(text); }

const Name* Names::intern_permanent(std::string_view text) {
  Name* name = find_or_add(text);
  name->permanent = true;
  return name;
}

const Name* Names::intern_reserved(std::string_view text) {
  Name* name = find_or_add(text);
  name->permanent = true;
  name->filter_bit = 0;
  return name;
}

void Names::drop_unmarked() {
  for (auto entry = table_.begin(); entry != table_.end();) {
    Name& name = *entry->second;
    if (name.marked || name.permanent) {
      name.marked = false;
      ++entry;
    } else {
      entry = table_.erase(entry);
    }
  }
  if (table_.bucket_count() > smallest_shrunk_table && table_.size() < table_.bucket_count() / shrink_ratio)
    table_.rehash(0);
}

}  // namespace brevalon

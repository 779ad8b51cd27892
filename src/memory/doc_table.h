// The docs and metadata of the few values that carry any, in one table instead of in every value.
#pragma once
#include <cstddef>
#include <unordered_map>

#include "values/value.h"

namespace brevalon {

// Any value can carry a doc and metadata, yet almost none does: a header field for each would make
// every cell, number and scope larger. A value with an entry here has `in_doc_table` set, so asking
// any other value costs one test of its header. The table is weak in its keys: the collector marks
// an entry's doc and metadata when it marks the value, and drops the entries of values it did not
// mark before their slots are reused, so a new value in a dead one's slot starts with neither.
class DocTable {
 public:
  struct Entry {
    Value* doc = nullptr;  // null while absent
    Value* metadata = nullptr;
  };

  // The value's entry, or null when it has none.
  const Entry* find(const Value* value) const {
    if (!value->in_doc_table) return nullptr;
    auto it = entries_.find(value);
    return it == entries_.end() ? nullptr : &it->second;
  }
  // The value's entry, made empty when it had none.
  Entry& entry_for(Value* value) {
    value->in_doc_table = true;
    return entries_[value];
  }

  // Called between marking and sweeping with the collector's test of a mark.
  template <class IsMarked>
  void forget_unmarked(IsMarked is_marked) {
    std::erase_if(entries_, [&](const auto& entry) { return !is_marked(entry.first); });
  }

  size_t size() const { return entries_.size(); }

 private:
  std::unordered_map<const Value*, Entry> entries_;
};

}  // namespace brevalon

// Dictionary storage: a vector in insertion order, indexed by a hash map once it grows.
#include "values/dictionary.h"


namespace brevalon {

size_t Hashtable::footprint() const {
  size_t bytes = entries_.capacity() * sizeof(entries_[0]);
  for (auto& entry : entries_) bytes += entry.first.capacity() > 15 ? entry.first.capacity() : 0;
  return bytes + (index_ ? index_->size() * 40 : 0);
}

long Hashtable::find(std::string_view key) const {
  if (index_) {
    auto found = index_->find(key);
    return found == index_->end() ? -1 : static_cast<long>(found->second);
  }
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].first == key) return static_cast<long>(i);
  return -1;
}

Value* Hashtable::get(std::string_view key) const {
  long i = find(key);
  return i < 0 ? nullptr : entries_[i].second;
}

void Hashtable::set_key(std::string_view key, Value* value) {
  ++version;
  if (watch_counter) ++*watch_counter;
  long i = find(key);
  if (i >= 0) {
    entries_[i].second = value;
    return;
  }
  entries_.emplace_back(std::string(key), value);
  if (index_) {
    index_->emplace(entries_.back().first, entries_.size() - 1);
  } else if (entries_.size() > index_threshold) {
    index_ = new std::unordered_map<std::string, size_t, KeyHash, std::equal_to<>>();
    for (size_t j = 0; j < entries_.size(); ++j) index_->emplace(entries_[j].first, j);
  }
}

}  // namespace brevalon

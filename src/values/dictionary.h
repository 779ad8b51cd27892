// Dictionaries: insertion-ordered maps from key text to value.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "values/value.h"

namespace brevalon {

// Looks keys up by their text, without making a string of it.
struct KeyHash {
  using is_transparent = void;
  size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
};

struct Hashtable : Value {
  Hashtable() : Value(Kind::Hashtable) {}
  ~Hashtable() override { delete index_; }

  void visit_edges(Visitor& visit) override {
    for (auto& entry : entries_) visit(entry.second);
  }
  size_t footprint() const override;
  const uint64_t* edges_version() const override { return &version; }

  // The one path by which an entry is added or changed.
  void set_key(std::string_view key, Value* value);
  Value* get(std::string_view key) const;  // null when absent
  size_t size() const { return entries_.size(); }
  const std::vector<std::pair<std::string, Value*>>& entries() const { return entries_; }

  uint64_t version = 0;
  // Set on the tables made during start-up, whose entries fast paths rely on: every change bumps it.
  uint64_t* watch_counter = nullptr;

 private:
  static constexpr size_t index_threshold = 8;
  long find(std::string_view key) const;
  std::vector<std::pair<std::string, Value*>> entries_;
  std::unordered_map<std::string, size_t, KeyHash, std::equal_to<>>* index_ = nullptr;
};

}  // namespace brevalon

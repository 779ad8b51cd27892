// Binding, lookup and removal in environments.
#include "values/environment.h"

#include <algorithm>
#include <cstring>

#include "memory/heap.h"
#include "values/names.h"

namespace brevalon {

Environment::~Environment() {
  if (data_ != inline_) delete[] data_;
  delete index_;
}

void Environment::visit_edges(Visitor& visit) {
  Value::visit_edges(visit);
  visit(parent);
  for (uint32_t i = 0; i < size_; ++i) {
    mark_name(data_[i].name);
    visit(data_[i].value);
  }
  for (auto& binding : numbered_) visit(binding.value);
}

size_t Environment::footprint() const {
  size_t bytes = numbered_.capacity() * sizeof(NumberedBinding);
  if (data_ != inline_) bytes += capacity_ * sizeof(Binding);
  if (index_) bytes += index_->size() * 32;
  return bytes;
}

Binding* Environment::find_named(const Name* name) {
  if (index_) {
    // Most lookups in a large environment are of names seen before: try where the name was last.
    if (name->cached_environment == this && name->cached_index < size_ && data_[name->cached_index].name == name)
      return &data_[name->cached_index];
    auto found = index_->find(name);
    if (found == index_->end()) return nullptr;
    name->cached_environment = this;
    name->cached_index = found->second;
    return &data_[found->second];
  }
  for (uint32_t i = 0; i < size_; ++i)
    if (data_[i].name == name) return &data_[i];
  return nullptr;
}

NumberedBinding* Environment::find_numbered(int64_t number) {
  for (auto& binding : numbered_)
    if (binding.number == number) return &binding;
  return nullptr;
}

void Environment::set_named(const Name* name, Value* value) {
  ++version;
  if (watch_counter) note_watched_change(watch_counter, name->watch_groups);
  if (Binding* binding = find_named(name)) {
    binding->value = value;
    return;
  }
  if (size_ == capacity_) {
    auto* grown = new Binding[capacity_ * 2];
    std::copy(data_, data_ + size_, grown);
    if (data_ != inline_) delete[] data_;
    data_ = grown;
    capacity_ *= 2;
  }
  name_filter_ |= name->filter_bit;
  data_[size_] = Binding{name, value};
  if (index_) index_->emplace(name, size_);
  ++size_;
  if (!index_ && size_ > index_threshold) rebuild_index();
}

void Environment::set_numbered(int64_t number, Value* value) {
  ++version;
  if (watch_counter) ++*watch_counter;
  if (NumberedBinding* binding = find_numbered(number)) binding->value = value;
  else numbered_.push_back(NumberedBinding{number, value});
}

bool Environment::remove(const Value* symbol) {
  ++version;
  if (watch_counter)
    note_watched_change(watch_counter, symbol->kind == Kind::NumSymbol
                                           ? uint8_t{1}
                                           : static_cast<const NamedSymbol*>(symbol)->name->watch_groups);
  if (symbol->kind == Kind::NumSymbol) {
    int64_t number = static_cast<const NumSymbol*>(symbol)->number;
    auto it = std::find_if(numbered_.begin(), numbered_.end(), [&](auto& b) { return b.number == number; });
    if (it == numbered_.end()) return false;
    numbered_.erase(it);
    return true;
  }
  Binding* binding = find_named(static_cast<const NamedSymbol*>(symbol)->name);
  if (!binding) return false;
  std::copy(binding + 1, data_ + size_, binding);
  --size_;
  name_filter_ = 0;
  for (uint32_t i = 0; i < size_; ++i) name_filter_ |= data_[i].name->filter_bit;
  if (index_) rebuild_index();
  return true;
}

void Environment::rebuild_index() {
  if (!index_) index_ = new std::unordered_map<const Name*, uint32_t>();
  index_->clear();
  for (uint32_t i = 0; i < size_; ++i) index_->emplace(data_[i].name, i);
}

void Environment::bind(const Value* symbol, Value* value) {
  if (symbol->kind == Kind::NumSymbol) set_numbered(static_cast<const NumSymbol*>(symbol)->number, value);
  else set_named(static_cast<const NamedSymbol*>(symbol)->name, value);
}

bool Environment::has_symbol(const Value* symbol) {
  if (symbol->kind == Kind::NumSymbol) return find_numbered(static_cast<const NumSymbol*>(symbol)->number);
  return find_named(static_cast<const NamedSymbol*>(symbol)->name);
}

Value* Environment::lookup(const Value* symbol) {
  if (symbol->kind == Kind::NamedSymbol) {
    const Name* name = static_cast<const NamedSymbol*>(symbol)->name;
    uint64_t bit = name->filter_bit;
    for (Environment* env = this; env; env = env->parent) {
      if (bit && !(env->name_filter_ & bit)) continue;
      if (Binding* binding = env->find_named(name)) return binding->value;
    }
    return nullptr;
  }
  int64_t number = static_cast<const NumSymbol*>(symbol)->number;
  for (Environment* env = this; env; env = env->parent)
    if (NumberedBinding* binding = env->find_numbered(number)) return binding->value;
  return nullptr;
}

Environment* make_environment(Heap& heap, Environment* parent) {
  return heap.make<Environment>(parent, heap.names.current_scope, heap.names.parent_scope);
}

}  // namespace brevalon

// Binding, lookup and removal in environments.
#include "values/environment.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "memory/heap.h"
#include "values/names.h"

namespace brevalon {

struct Environment::Extras {
  // The bindings once they outgrow the slot; data_ points here then.
  std::unique_ptr<Binding[]> grown;
  std::unordered_map<const Name*, uint32_t> index;
  std::vector<NumberedBinding> numbered;
  uint64_t* watch_counter = nullptr;
};

Environment::~Environment() { delete extras_; }

// The one place a scope comes to own memory outside its slot, so the one place that tells the
// collector to destroy it when it dies.
Environment::Extras& Environment::extras() {
  if (!extras_) {
    extras_ = new Extras();
    Heap::destroy_when_dead(this);
  }
  return *extras_;
}

void Environment::visit_edges(Visitor& visit) {
  visit(parent);
  for (uint32_t i = 0; i < size_; ++i) {
    mark_name(data_[i].name);
    visit(data_[i].value);
  }
  for (Binding* binding = numbered_in_slot(); binding != slot_end(); ++binding) visit(binding->value);
  if (extras_)
    for (auto& binding : extras_->numbered) visit(binding.value);
}

size_t Environment::extras_footprint() const {
  size_t bytes = sizeof(Extras) + extras_->numbered.capacity() * sizeof(NumberedBinding);
  if (data_ != inline_) bytes += capacity_ * sizeof(Binding);
  // A node of the index holds its key, value, hash and link; the buckets are one pointer each.
  bytes += extras_->index.size() * 32 + (extras_->index.empty() ? 0 : extras_->index.bucket_count() * sizeof(void*));
  return bytes;
}

size_t Environment::numbered_count() const {
  // They are all in the slot or all in the side block.
  return numbered_in_slot_ ? numbered_in_slot_ : extras_ ? extras_->numbered.size() : 0;
}

NumberedBinding Environment::numbered_at(size_t i) const {
  if (!numbered_in_slot_) return extras_->numbered[i];
  const Binding& binding = numbered_in_slot()[i];
  return NumberedBinding{number_of(binding), binding.value};
}

uint64_t* Environment::watch_counter() const { return extras_ ? extras_->watch_counter : nullptr; }

void Environment::watch(uint64_t* counter) { extras().watch_counter = counter; }

Binding* Environment::find_named(const Name* name) {
  if (!indexed()) return search(name);
  if (Binding* binding = where_last_found(name)) return binding;
  auto found = extras_->index.find(name);
  if (found == extras_->index.end()) return nullptr;
  name->cached_index = found->second;
  return &data_[found->second];
}

Value** Environment::find_numbered(int64_t number) {
  for (Binding* binding = numbered_in_slot(); binding != slot_end(); ++binding)
    if (number_of(*binding) == number) return &binding->value;
  if (!extras_) return nullptr;
  for (auto& binding : extras_->numbered)
    if (binding.number == number) return &binding.value;
  return nullptr;
}

// The numbered bindings in the slot, oldest first, to the side block, which holds none: the named
// ones have the whole slot again.
void Environment::move_numbered_to_extras() {
  if (!numbered_in_slot_) return;
  std::vector<NumberedBinding>& numbered = extras().numbered;
  for (const Binding* binding = numbered_in_slot(); binding != slot_end(); ++binding)
    numbered.push_back(NumberedBinding{number_of(*binding), binding->value});
  capacity_ += numbered_in_slot_;
  numbered_in_slot_ = 0;
}

// Doubles the room for named bindings; a scope that grows past the linear search limit is indexed
// from then on.
void Environment::grow() {
  if (numbered_in_slot_) {
    move_numbered_to_extras();
    if (size_ < capacity_) return;
  }
  Extras& side = extras();
  uint32_t capacity = capacity_ * 2;
  auto grown = std::make_unique<Binding[]>(capacity);
  std::copy(data_, data_ + size_, grown.get());
  side.grown = std::move(grown);
  data_ = side.grown.get();
  capacity_ = capacity;
  if (indexed() && side.index.empty()) rebuild_index();
}

void Environment::mirror_names() {
  mirrors_names_ = true;
  for (uint32_t i = 0; i < size_; ++i) data_[i].name->global_value = data_[i].value;
}

void Environment::assign(Binding* binding, const Name* name, Value* value) {
  ++version;
  if (mirrors_names_) name->global_value = value;
  if (uint64_t* counter = watch_counter()) note_watched_change(counter, name->watch_groups);
  binding->value = value;
}

void Environment::set_named(const Name* name, Value* value) {
  if (Binding* binding = find_named(name)) return assign(binding, name, value);
  ++version;
  if (uint64_t* counter = watch_counter()) note_watched_change(counter, name->watch_groups);
  if (size_ == capacity_) grow();
  name_filter_ |= name->filter_bit;
  note_home(name);
  if (mirrors_names_) name->global_value = value;
  data_[size_] = Binding{name, value};
  if (indexed()) extras_->index.emplace(name, size_);
  ++size_;
}

void Environment::set_numbered(int64_t number, Value* value) {
  ++version;
  if (uint64_t* counter = watch_counter()) ++*counter;
  if (Value** place = find_numbered(number)) {
    *place = value;
    return;
  }
  bool numbered_in_extras = extras_ && !extras_->numbered.empty();
  if (data_ == inline_ && !numbered_in_extras && size_ + numbered_in_slot_ < slot_room_) {
    // The newest goes last: the older ones move one place towards the named ones, whose room
    // shrinks by one.
    Binding* first = numbered_in_slot();
    std::copy(first, slot_end(), first - 1);
    slot_end()[-1] = Binding{std::bit_cast<const Name*>(number), value};
    ++numbered_in_slot_;
    --capacity_;
    return;
  }
  move_numbered_to_extras();
  extras().numbered.push_back(NumberedBinding{number, value});
}

bool Environment::remove(const Value* symbol) {
  ++version;
  if (uint64_t* counter = watch_counter())
    note_watched_change(counter, symbol->kind == Kind::NumSymbol
                                     ? uint8_t{1}
                                     : static_cast<const NamedSymbol*>(symbol)->name->watch_groups);
  if (symbol->kind == Kind::NumSymbol) {
    int64_t number = static_cast<const NumSymbol*>(symbol)->number;
    if (numbered_in_slot_) {
      Binding* first = numbered_in_slot();
      Binding* end = slot_end();
      Binding* found = std::find_if(first, end, [number](const Binding& binding) { return number_of(binding) == number; });
      if (found == end) return false;
      // The older ones move one place towards the end, over it.
      std::copy_backward(first, found, found + 1);
      --numbered_in_slot_;
      ++capacity_;
      return true;
    }
    if (!extras_) return false;
    std::vector<NumberedBinding>& numbered = extras_->numbered;
    auto it = std::find_if(numbered.begin(), numbered.end(), [&](auto& b) { return b.number == number; });
    if (it == numbered.end()) return false;
    numbered.erase(it);
    return true;
  }
  Binding* binding = find_named(static_cast<const NamedSymbol*>(symbol)->name);
  if (!binding) return false;
  if (mirrors_names_) binding->name->global_value = nullptr;
  std::copy(binding + 1, data_ + size_, binding);
  --size_;
  name_filter_ = 0;
  for (uint32_t i = 0; i < size_; ++i) name_filter_ |= data_[i].name->filter_bit;
  if (indexed()) rebuild_index();
  return true;
}

void Environment::rebuild_index() {
  std::unordered_map<const Name*, uint32_t>& index = extras_->index;
  index.clear();
  for (uint32_t i = 0; i < size_; ++i) index.emplace(data_[i].name, i);
}

void Environment::bind(const Value* symbol, Value* value) {
  if (symbol->kind == Kind::NumSymbol) set_numbered(static_cast<const NumSymbol*>(symbol)->number, value);
  else set_named(static_cast<const NamedSymbol*>(symbol)->name, value);
}

bool Environment::set_existing(const Value* symbol, Value* value) {
  if (symbol->kind == Kind::NumSymbol) {
    int64_t number = static_cast<const NumSymbol*>(symbol)->number;
    for (Environment* env = this; env; env = env->parent)
      if (env->find_numbered(number)) {
        env->set_numbered(number, value);
        return true;
      }
    return false;
  }
  const Name* name = static_cast<const NamedSymbol*>(symbol)->name;
  uint64_t bit = name->filter_bit;
  for (Environment* env = this; env; env = env->parent) {
    if (bit && !(env->name_filter_ & bit)) continue;
    if (Binding* binding = env->find_named(name)) {
      env->assign(binding, name, value);
      return true;
    }
  }
  return false;
}

bool Environment::has_symbol(const Value* symbol) {
  if (symbol->kind == Kind::NumSymbol) return find_numbered(static_cast<const NumSymbol*>(symbol)->number);
  return find_named(static_cast<const NamedSymbol*>(symbol)->name);
}

Value* Environment::lookup_named(const Name* name) {
  uint64_t bit = name->filter_bit;
  for (Environment* env = this; env; env = env->parent) {
    if (bit && !(env->name_filter_ & bit)) continue;
    // A small scope's search in line: most look-ups end in one.
    if (Binding* binding = env->indexed() ? env->find_named(name) : env->search(name)) return binding->value;
  }
  return nullptr;
}

Value* Environment::lookup_named_further(const Name* name, Environment* root) {
  if (name->home == root) {
    // Where the name was last found in the root, checked, saves the call of find_named.
    Binding* binding = root->where_last_found(name);
    if (!binding) binding = root->find_named(name);
    return binding ? binding->value : nullptr;
  }
  if (!name->filter_bit || (name_filter_ & name->filter_bit)) {
    if (indexed()) return lookup_named(name);
    if (Binding* binding = search(name)) return binding->value;
  }
  return parent ? parent->lookup_named(name) : nullptr;
}

Value* Environment::lookup(const Value* symbol) {
  if (symbol->kind == Kind::NamedSymbol) return lookup_named(static_cast<const NamedSymbol*>(symbol)->name);
  int64_t number = static_cast<const NumSymbol*>(symbol)->number;
  for (Environment* env = this; env; env = env->parent)
    if (Value** place = env->find_numbered(number)) return *place;
  return nullptr;
}

}  // namespace brevalon

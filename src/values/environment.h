// Environments: scopes with an insertion-ordered map of named bindings and a map of numbered ones.
#pragma once
#include <bit>
#include <cstdint>

#include "memory/heap.h"
#include "values/symbol.h"

namespace brevalon {

// A binding whose value is null exists but holds no value (the root's parent-scope).
struct Binding {
  const Name* name;
  Value* value;
};
struct NumberedBinding {
  int64_t number;
  Value* value;
};

struct Environment : Value {
 private:
  // Whether this scope keeps its names' values in them (see mirror_names). First, so that it sits
  // in the header's spare bytes and costs a scope nothing.
  bool mirrors_names_ = false;
  // How many numbered bindings sit at the end of the slot (see set_numbered); in the spare bytes too.
  uint8_t numbered_in_slot_ = 0;
  // How many bindings the slot has room for, the reserved two included (see slot_bytes).
  uint8_t slot_room_ = inline_capacity;

 public:
  explicit Environment(Environment* p) : Value(Kind::Environment), parent(p) {}
  // A scope born with its two reserved bindings, written in place: a new scope has nothing to
  // search and nobody watching it. Its slot has room for `room` more (see slot_bytes).
  Environment(Environment* p, const Name* current_scope, const Name* parent_scope, uint32_t room)
      : Value(Kind::Environment), slot_room_(static_cast<uint8_t>(2 + room)), parent(p), size_(2), capacity_(2 + room) {
    inline_[0] = Binding{current_scope, this};
    inline_[1] = Binding{parent_scope, p};
  }
  ~Environment() override;

  // Most scopes never leave their slot: the collector destroys only those that took a side block
  // (see extras()), and frees the others as they are.
  static constexpr bool needs_destructor = false;

  void visit_edges(Visitor& visit) override;
  // Only what a scope holds outside its slot, which few do: in line, for the call of every new scope.
  size_t footprint() const override { return extras_ ? extras_footprint() : 0; }
  const uint64_t* edges_version() const override { return &version; }

  // Every change of a binding goes through these four and bind_new, so fast paths can watch
  // `version`.
  void set_named(const Name* name, Value* value);
  // What set_named does for the name of the binding at `index`, known to be there.
  void set_named_at(size_t index, Value* value) { assign(&data_[index], data_[index].name, value); }
  void set_numbered(int64_t number, Value* value);
  bool remove(const Value* symbol);

  void bind(const Value* symbol, Value* value);
  // Sets `symbol` in the innermost scope from this one out that binds it (set-symbol); false when
  // none does. One walk, which passes by scopes as look-ups do.
  bool set_existing(const Value* symbol, Value* value);
  // Binds a name this scope has not bound, in a scope nobody watches (a function's new scope; never
  // the global one, which mirrors its names): what set_named would do, without the search.
  void bind_new(const Name* name, Value* value) {
    // Past the slot's room the scope may need to grow or be indexed: set_named does both.
    if (size_ + numbered_in_slot_ >= slot_room_) [[unlikely]] return set_named(name, value);
    bind_new_in_slot(name, value);
  }
  // bind_new in a new scope for at most this many: they fit in its slot with the reserved two.
  static constexpr uint32_t parameters_in_slot = 4;
  // A scope whose slot has room for `room` bindings besides the reserved two, at most
  // parameters_in_slot, takes this many bytes: the bindings are its last member, and a slot ends
  // after the last binding it has room for. A call's scope has room for its parameters and one
  // more (a definition in the body), so that a call of one parameter takes a slot of 128 bytes,
  // not 160.
  static constexpr size_t slot_bytes(uint32_t room) {
    return sizeof(Environment) - (parameters_in_slot - room) * sizeof(Binding);
  }
  // The heap's size class of that slot: one more for each binding of room.
  static constexpr uint8_t slot_class(uint32_t room) {
    return static_cast<uint8_t>(slot_bytes(0) / Heap::granule + room);
  }
  // The room of a call's scope that binds this many: one more, at most parameters_in_slot.
  static constexpr uint32_t room_for(size_t bindings) {
    return bindings < parameters_in_slot ? static_cast<uint32_t>(bindings) + 1 : parameters_in_slot;
  }
  // bind_new in a new scope whose slot has room for the name: nothing numbered is bound in it yet.
  void bind_new_in_slot(const Name* name, Value* value) {
    ++version;
    name_filter_ |= name->filter_bit;
    note_home(name);
    data_[size_++] = Binding{name, value};
  }
  // bind_new_in_slot for each of `symbols`, named symbols of distinct names none of which is
  // reserved, at most parameters_in_slot of them, with `values` in order: a function's parameters.
  // Their names are bound in other scopes already (scattered, see note_home), so no home is
  // written, and the counters are written once for all.
  template <typename Symbols>
  void bind_scattered_in_slot(const Symbols& symbols, Value* const* values) {
    Binding* slot = data_ + size_;
    uint64_t filter = name_filter_;
    uint32_t count = 0;
    for (Value* symbol : symbols) {
      const Name* name = static_cast<const NamedSymbol*>(symbol)->name;
      filter |= name->filter_bit;
      slot[count] = Binding{name, values[count]};
      ++count;
    }
    name_filter_ = filter;
    size_ += count;
    version += count;
  }
  // Whether a binding of `name` in a new scope would leave its home as it is.
  static bool is_scattered(const Name* name) { return name->home == Name::scattered; }
  Binding* find_named(const Name* name);
  Value* lookup_named(const Name* name);
  // The rest of lookup_named(name, root), out of line: the root's look-up when it does not mirror,
  // and the search of this scope and the walk of its parents.
  Value* lookup_named_further(const Name* name, Environment* root);
  // Where the value of the binding of `number` is, or null.
  Value** find_numbered(int64_t number);
  bool has_symbol(const Value* symbol);
  // Walks the parent chain; a binding that holds no value counts as not found.
  Value* lookup(const Value* symbol);
  // The same from a scope whose chain ends in `root`: a name that no other scope has ever bound
  // is found in `root` without walking the chain.
  Value* lookup(const Value* symbol, Environment* root) {
    if (symbol->kind == Kind::NamedSymbol) return lookup_named(static_cast<const NamedSymbol*>(symbol)->name, root);
    return lookup(symbol);
  }
  Value* lookup_named(const Name* name, Environment* root) {
    if (name->home == root) {
      if (root->mirrors_names_) return name->global_value;
    } else if (Binding* binding = at_slot_hint(name)) {
      // Most other names are a function's parameters, found in this scope where the name was
      // found last.
      return binding->value;
    }
    return lookup_named_further(name, root);
  }

  size_t named_count() const { return size_; }
  const Binding& named_at(size_t i) const { return data_[i]; }
  // The numbered bindings, oldest first.
  size_t numbered_count() const;
  NumberedBinding numbered_at(size_t i) const;

  // Set on the scopes made during start-up (and on scopes a fast path comes to rely on): every
  // change to a watched binding bumps the counters of its name's groups in the array this points to.
  uint64_t* watch_counter() const;
  void watch(uint64_t* counter);

  // Makes this scope, the run's global one, keep the value of each of its named bindings in the
  // name too (Name::global_value), from now on: a look-up of a name that no other scope binds then
  // reads it there. At most one scope of a run does.
  void mirror_names();

  Environment* parent;
  uint64_t version = 0;

 private:
  // What few scopes have: bindings grown out of the slot, the index of a large scope, numbered
  // bindings and a watch counter. Made on first use and owned by the scope.
  struct Extras;

  // Room in the slot for the two reserved bindings and four parameters: most calls take one to three,
  // and a function of four would otherwise take a side block at every call. The slot's room is
  // shared with numbered bindings, as a function whose parameters are generated symbols has (the
  // getters that defclass makes, say): while the named ones leave room, the numbered ones sit at
  // its end, oldest first, each a Binding holding its number in place of a name, and such a call
  // takes no side block either. Once they do not fit, they all move to the side block.
  static constexpr uint32_t inline_capacity = 2 + parameters_in_slot;
  Binding* slot_end() { return inline_ + slot_room_; }
  const Binding* slot_end() const { return inline_ + slot_room_; }
  Binding* numbered_in_slot() { return slot_end() - numbered_in_slot_; }
  const Binding* numbered_in_slot() const { return slot_end() - numbered_in_slot_; }
  static int64_t number_of(const Binding& binding) { return std::bit_cast<int64_t>(binding.name); }
  void move_numbered_to_extras();
  // Scopes with room for more bindings than this keep an index of them instead of searching.
  static constexpr uint32_t linear_search_limit = 12;
  bool indexed() const { return capacity_ > linear_search_limit; }
  // A scope that is not indexed is searched from the newest binding back, after a look where the
  // name was last found: a function's parameters come after the two reserved names.
  Binding* search(const Name* name) {
    if (Binding* binding = at_slot_hint(name)) return binding;
    for (uint32_t i = size_; i-- > 0;)
      if (data_[i].name == name) {
        name->slot_hint = i;
        return &data_[i];
      }
    return nullptr;
  }
  // A scope binds a name at most once, so a binding of this scope's that holds the name is its
  // binding, whichever scope the place was learnt from.
  Binding* at_slot_hint(const Name* name) {
    uint32_t hint = name->slot_hint;
    return hint < size_ && data_[hint].name == name ? &data_[hint] : nullptr;
  }
  // Most look-ups in an indexed scope are of names seen before: where the name was found last,
  // when it is still there.
  Binding* where_last_found(const Name* name) {
    uint32_t index = name->cached_index;
    return index < size_ && data_[index].name == name ? &data_[index] : nullptr;
  }
  Extras& extras();
  size_t extras_footprint() const;
  // The write of a binding found here: what set_named does once it has found it.
  void assign(Binding* binding, const Name* name, Value* value);
  // Every new binding of a name goes through here (see Name::home).
  void note_home(const Name* name) const {
    // Once scattered, a name stays so: its home is not written again.
    if (name->home != this && name->home != Name::scattered) name->home = name->home ? Name::scattered : this;
  }
  void grow();
  void rebuild_index();

  // The filter bits of the names bound here (see Name::filter_bit): a look-up passes by a scope
  // whose filter lacks its name's bit without searching it.
  uint64_t name_filter_ = 0;
  Binding* data_ = inline_;
  uint32_t size_ = 0;
  uint32_t capacity_ = inline_capacity;
  Extras* extras_ = nullptr;
  // The last member: a scope with less room takes a smaller slot, which ends within this array.
  Binding inline_[inline_capacity];
};

static_assert(sizeof(Environment) == 160, "a scope with the most room fills its slot");
static_assert(Environment::slot_bytes(0) == 96, "a scope's slot holds the scope up to its bindings");
static_assert(sizeof(Binding) == Heap::granule && Environment::slot_class(Environment::parameters_in_slot) * Heap::granule ==
                                                      sizeof(Environment),
              "each binding of room takes the slot of the next size class");

// Makes a scope with its two reserved bindings, current-scope and parent-scope, and room in its slot
// for `room` more. In line: every call of a function makes one.
inline Environment* make_environment(Heap& heap, Environment* parent, uint32_t room = Environment::parameters_in_slot) {
  return heap.make_in_class<Environment>(Environment::slot_class(room), parent, heap.names.current_scope,
                                         heap.names.parent_scope, room);
}

}  // namespace brevalon

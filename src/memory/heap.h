// The heap: allocation of values and the mark-and-sweep collector that reclaims them.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "base/assert.h"
#include "memory/doc_table.h"
#include "memory/frame_pools.h"
#include "values/names.h"
#include "values/types.h"
#include "values/value.h"

namespace brevalon {

// Something that holds values the collector must keep: an interpreter's frame stack, the globals.
struct RootSet {
  virtual void visit_roots(Visitor& visit) = 0;
  RootSet* next_root_set = nullptr;
  RootSet* previous_root_set = nullptr;

 protected:
  ~RootSet() = default;
};

// A table that refers to values without keeping them alive. Each collection, after marking and
// before sweeping, lets it forget the values that were not marked, so no entry outlives its value
// and no reused slot inherits a dead value's entry.
struct WeakTable {
  virtual void forget_unmarked() = 0;

 protected:
  ~WeakTable() = default;
};

class Heap {
 public:
  Heap();
  ~Heap();
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;

  // Slots are whole multiples of this many bytes.
  static constexpr size_t granule = 16;

  // The one path by which values come into being.
  template <typename T, typename... Args>
  T* make(Args&&... args) {
    BREVALON_ASSERT(!collecting_);
    constexpr uint8_t size_class = class_of(sizeof(T));
    void* memory = size_class ? take_slot(size_class) : allocate_large(sizeof(T));
    T* value = construct<T>(memory, size_class, std::forward<Args>(args)...);
    if constexpr (size_class == 0) large_.push_back(value);
    else if constexpr (T::needs_destructor) set_bit(chunk_of(value)->destructible, value);
    return value;
  }
  // make for a kind whose values may take less than their type's size (see Environment::slot_bytes):
  // in a slot of `size_class`, of which the constructor touches no byte past the end. The kind
  // needs no destructor.
  template <typename T, typename... Args>
  [[gnu::always_inline]] T* make_in_class(uint8_t size_class, Args&&... args) {
    static_assert(!T::needs_destructor);
    BREVALON_ASSERT(!collecting_ && size_class != 0 && size_class <= class_of(sizeof(T)));
    return construct<T>(take_slot(size_class), size_class, std::forward<Args>(args)...);
  }

  // A value of a kind that needs no destructor calls this when it first owns memory outside its
  // slot, so that the sweep destroys it when it dies. A large object is always destroyed.
  static void destroy_when_dead(Value* value) {
    if (value->size_class != 0) set_bit(chunk_of(value)->destructible, value);
  }

  // Whether the last marking reached the value; for the weak tables, between marking and sweeping.
  static bool is_marked(const Value* value) {
    if (value->size_class == 0) return value->marked;
    return test_bit(chunk_of(value)->marked, value);
  }

  // Called by the trampoline between frame steps, where every live value is reachable from a root.
  // The pending frames' allowance is looked at only once the threshold alone is passed.
  void safe_point() {
    if ((live_bytes_ >= collect_at_ && live_bytes_ >= collect_at_ + frame_allowance()) || stress_due()) collect();
  }
  void collect();

  // The run's recycled frame and resumable-state memory; declared first so it is freed last.
  FramePools frame_pools;

  // What every value of this run refers to. The constants are made first and never collected.
  Names names;
  Constants constants;

  // The frames pending in every interpreter, which each collection marks too; none until a runtime
  // points this at its count.
  static constexpr size_t no_frames = 0;
  const size_t* pending_frames = &no_frames;

  // Stress collection starts once start-up is done: the prelude alone would take minutes of it.
  void begin_stress() { stressing_ = true; }

  // Start-up is done: every value made so far (the start-up image) lives as long as the run, and
  // collections neither mark nor sweep it again. Its values of kinds whose edges can change after
  // they are made (scopes, tables, functions with their caches, classes, instances, types) and
  // those with a doc are marked from at every collection, so what a program binds in them is kept.
  // The image's names are kept too. Called once; allocation goes on in new chunks.
  void make_image_permanent();

  void add_root_set(RootSet* roots);
  void remove_root_set(RootSet* roots);
  void add_weak_table(WeakTable* table) { weak_tables_.push_back(table); }
  void remove_weak_table(WeakTable* table) { std::erase(weak_tables_, table); }

  // Values a native holds across a nested run; pushed and popped in stack order. The pop names the
  // value it expects, so a pop that does not pair with the last push is caught where it happens.
  void push_root(Value* value) { explicit_roots_.push_back(value); }
  void pop_root([[maybe_unused]] Value* expected) {
    BREVALON_ASSERT(!explicit_roots_.empty() && explicit_roots_.back() == expected);
    explicit_roots_.pop_back();
  }

  // Every value, nil, numbers and types included, can carry a doc and metadata; null while absent.
  Value* doc_of(const Value* value) const {
    const DocTable::Entry* entry = docs_.find(value);
    return entry ? entry->doc : nullptr;
  }
  Value* metadata_of(const Value* value) const {
    const DocTable::Entry* entry = docs_.find(value);
    return entry ? entry->metadata : nullptr;
  }
  void set_doc(Value* value, Value* doc) { entry_for(value).doc = doc; }
  void set_metadata(Value* value, Value* metadata) { entry_for(value).metadata = metadata; }
  size_t doc_table_size() const { return docs_.size(); }

  // The bytes of the values made and not yet found dead by a collection, and what they own.
  size_t live_bytes() const { return live_bytes_ - counted_ahead_bytes(); }
  size_t collections() const { return collections_; }
  // The bytes of the chunks taken so far, empty ones included; they are kept until the run ends.
  size_t reserved_bytes() const { return chunks_.size() * chunk_bytes; }
  size_t object_count();
  template <typename F>
  void for_each_object(F&& visit);

  // Live data beyond this ends the run with an orderly error instead of exhausting the machine.
  static constexpr size_t max_live_bytes = size_t{12} << 30;

 private:
  // Small values live in chunks of equal slots, one size class per chunk. A chunk starts with its
  // header: bitmaps with one bit per granule of the chunk, a slot's bit at its first granule, so a
  // value's bit is found from its address alone. Sweeping works on whole words of these bitmaps and
  // touches only the dead values that own memory outside their slot.
  static constexpr size_t small_classes = 16;  // slots of up to 256 bytes
  static constexpr size_t chunk_bytes = 256 * 1024;
  static constexpr size_t bits_per_word = 64;
  static constexpr size_t bitmap_words = chunk_bytes / granule / bits_per_word;
  struct Chunk {
    uint32_t size_class;
    uint32_t slot_count;
    // A chunk of the start-up image: its marks are its used bits for good, and it is never swept.
    bool permanent;
    uint64_t used[bitmap_words];
    uint64_t marked[bitmap_words];
    // The used slots whose value must be destroyed when it dies.
    uint64_t destructible[bitmap_words];
    char* slot(size_t i) { return reinterpret_cast<char*>(this) + first_slot_offset + i * size_class * granule; }
  };
  static constexpr size_t first_slot_offset = (sizeof(Chunk) + granule - 1) / granule * granule;
  // For each size class, the bits of the granules where its slots start, word by word: the free
  // slots of a chunk are those bits without their used bit, found 64 granules at a time.
  using SlotStarts = std::array<std::array<uint64_t, bitmap_words>, small_classes + 1>;
  static constexpr SlotStarts slot_starts() {
    SlotStarts starts{};
    for (size_t size_class = 1; size_class <= small_classes; ++size_class) {
      size_t count = (chunk_bytes - first_slot_offset) / (size_class * granule);
      for (size_t i = 0; i < count; ++i) {
        size_t g = first_slot_offset / granule + i * size_class;
        starts[size_class][g / bits_per_word] |= uint64_t{1} << (g % bits_per_word);
      }
    }
    return starts;
  }
  static const SlotStarts slot_start_bits;
  static Chunk* chunk_of(const void* slot) {
    return reinterpret_cast<Chunk*>(reinterpret_cast<uintptr_t>(slot) & ~uintptr_t{chunk_bytes - 1});
  }
  static size_t granule_of(const void* slot) {
    return (reinterpret_cast<uintptr_t>(slot) & (chunk_bytes - 1)) / granule;
  }
  static void set_bit(uint64_t* bitmap, const void* slot) {
    size_t g = granule_of(slot);
    bitmap[g / bits_per_word] |= uint64_t{1} << (g % bits_per_word);
  }
  static bool test_bit(const uint64_t* bitmap, const void* slot) {
    size_t g = granule_of(slot);
    return (bitmap[g / bits_per_word] >> (g % bits_per_word)) & 1;
  }
  // Sets the value's mark; false when it was marked already.
  static bool mark(Value* value) {
    if (value->size_class == 0) return !std::exchange(value->marked, true);
    Chunk* chunk = chunk_of(value);
    size_t g = granule_of(value);
    uint64_t bit = uint64_t{1} << (g % bits_per_word);
    uint64_t& word = chunk->marked[g / bits_per_word];
    if (word & bit) return false;
    word |= bit;
    return true;
  }

  // Each size class hands out the slots of a run of free slots, lowest address first, found where
  // the sweep left them. The whole run is claimed when it is found: its used bits are set in one go,
  // so that taking a slot is a compare and a bump. Its bytes are counted a piece at a time, so that
  // the counters that decide when to collect run ahead of the values made by at most a piece per
  // class. Until they are handed out the slots hold no values: every walk of the heap gives the
  // rest of each run back first.
  struct FreeRun {
    char* next = nullptr;
    char* counted_end = nullptr;
    char* end = nullptr;
  };
  // While a class has a run, its cursor is at the run's chunk.
  struct RunCursor {
    size_t chunk = 0;  // index in the class's chunks
    size_t slot = 0;
  };
  // Small beside the least threshold (1 MiB), and large enough that counting costs a value nothing.
  static constexpr size_t piece_bytes = 4096;

  static constexpr uint8_t class_of(size_t size) {
    size_t size_class = (size + granule - 1) / granule;
    return size_class > small_classes ? 0 : static_cast<uint8_t>(size_class);
  }
  // A value of kind T in `memory`, a slot of the class or large memory (class 0), counted.
  template <typename T, typename... Args>
  [[gnu::always_inline]] T* construct(void* memory, uint8_t size_class, Args&&... args) {
    T* value;
    try {
      value = new (memory) T(std::forward<Args>(args)...);
    } catch (...) {
      abandon(memory, size_class);
      throw;
    }
    value->size_class = size_class;
    // The dynamic type is exactly T here, so the call needs no virtual dispatch.
    live_bytes_ += value->T::footprint();
    return value;
  }
  // Inline so that the slot size is a constant.
  void* take_slot(size_t size_class) {
    FreeRun& run = runs_[size_class];
    if (run.next == run.counted_end) [[unlikely]] count_piece(size_class);
    char* slot = run.next;
    run.next = slot + size_class * granule;
    return slot;
  }
  void count_piece(size_t size_class);
  void* allocate_large(size_t size);
  // The bytes counted of the slots the runs have not handed out yet.
  size_t counted_ahead_bytes() const {
    size_t bytes = 0;
    for (const FreeRun& run : runs_) bytes += static_cast<size_t>(run.counted_end - run.next);
    return bytes;
  }
  void give_back_runs();
  static void clear_slot_bits(uint64_t* bitmap, size_t size_class, size_t from, size_t to);
  // What a pending frame costs a collection to visit, in the bytes of values that cost as much to mark.
  static constexpr size_t pending_frame_estimate = 64;
  // The pending frames are marked too, so a deep recursion may allocate in proportion to them before it
  // is marked again; counted at each safe point, so the allowance goes when the frames go.
  size_t frame_allowance() const { return *pending_frames * frame_estimate_; }
  // The deepest recursion seen since the last collection has mostly returned, so much of what it
  // held is likely dead; the heap should not grow before it is collected again.
  bool recursion_returned();
  void abandon(void* memory, uint8_t size_class);
  // Outside a collection, whether the value belongs to the start-up image: a large one of the image
  // keeps its mark, a small one is in a permanent chunk.
  static bool is_permanent(const Value* value) {
    return value->size_class == 0 ? value->marked : chunk_of(value)->permanent;
  }
  static bool edges_may_change(Kind kind);
  DocTable::Entry& entry_for(Value* value);
  struct Marker;
  bool find_free_run(size_t size_class);
  void add_chunk(size_t size_class);
  void mark_from_roots();
  void sweep();
  size_t sweep_chunk(Chunk* chunk);
  // In a stress build a collection is due every N safe points, N growing with what a collection
  // marks (one more N per 4 MiB of live data and per 4096 pending frames), so that the stress costs
  // time in proportion to the steps and not to steps times heap: deep recursions stay affordable
  // while small programs are collected very often.
  bool stress_due() {
#if BREVALON_GC_STRESS > 0
    size_t weight = 1 + (live_bytes_ >> 22) + (*pending_frames >> 12);
    if (!stressing_ || ++stress_counter_ < BREVALON_GC_STRESS * weight) return false;
    stress_counter_ = 0;
    return true;
#else
    return false;
#endif
  }

  std::vector<Chunk*> chunks_;
  std::vector<Chunk*> class_chunks_[small_classes + 1];
  // Chunks of no class (size class 0), which the last sweep found empty; each is in chunks_ too.
  std::vector<Chunk*> empty_chunks_;
  FreeRun runs_[small_classes + 1];
  RunCursor cursors_[small_classes + 1];
  std::vector<Value*> large_;
  // The start-up image (see make_image_permanent): its large values, the values a collection may
  // mark from, and what it takes, counted in as live at every sweep.
  std::vector<Value*> permanent_large_;
  // The values of the image that may hold others made since, each with its edges' version as the
  // image was sealed, when its kind keeps one (see Value::edges_version).
  struct PermanentRoot {
    Value* value;
    const uint64_t* version;
    uint64_t sealed_version;
  };
  std::vector<PermanentRoot> permanent_roots_;
  size_t permanent_bytes_ = 0;
  // Bytes the values reached by the last marking own outside their slots.
  size_t marked_outside_bytes_ = 0;
  // What the values made and not yet found dead take, in their slots and outside them. It only grows
  // between collections, so what was allocated since the last one is what it holds beyond what that
  // one marked.
  size_t live_bytes_ = 0;
  size_t marked_at_collection_ = 0;
  // What may be allocated after a collection before the next one is due, the frames' allowance aside;
  // and the live bytes at which that is, so that a safe point adds nothing to find it. Set together.
  size_t threshold_;
  size_t collect_at_;
  void set_threshold(size_t threshold) {
    threshold_ = threshold;
    collect_at_ = marked_at_collection_ + threshold;
  }
  // What a pending frame is counted for in the allowance; none while a collection is called for.
  size_t frame_estimate_ = pending_frame_estimate;
  // What the last collection set as the threshold from the bytes it marked.
  size_t natural_threshold_;
  // The most frames pending since the last collection, looked at whenever allocation moves on to
  // another chunk: a recursion that comes and goes within one is too small to matter.
  size_t most_frames_since_collection_ = 0;
  size_t collections_ = 0;
  [[maybe_unused]] size_t stress_counter_ = 0;
  bool stressing_ = false;
  // Set while a collection runs: marking and sweeping must neither allocate nor collect again.
  bool collecting_ = false;
  RootSet* root_sets_ = nullptr;
  std::vector<WeakTable*> weak_tables_;
  std::vector<Value*> explicit_roots_;
  std::vector<Value*> mark_stack_;
  DocTable docs_;
};

template <typename F>
void Heap::for_each_object(F&& visit) {
  give_back_runs();
  for (Chunk* chunk : chunks_)
    for (size_t word = 0; word < bitmap_words; ++word)
      for (uint64_t bits = chunk->used[word]; bits; bits &= bits - 1) {
        size_t g = word * bits_per_word + static_cast<size_t>(__builtin_ctzll(bits));
        visit(reinterpret_cast<Value*>(reinterpret_cast<char*>(chunk) + g * granule));
      }
  for (Value* value : large_) visit(value);
  for (Value* value : permanent_large_) visit(value);
}

}  // namespace brevalon

// Allocation from size-class chunks, and a precise, non-moving mark-and-sweep collector.
#include "memory/heap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/errors.h"
#include "values/list.h"
#include "values/scalars.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace brevalon {

namespace {
// Small enough that the values a run makes and drops between collections stay within a core's
// second-level cache and take few fresh pages of memory (the first touch of each costs a fault in
// the kernel, which in a short run weighs more than the collections), large enough that what every
// collection marks is marked at most once per MiB allocated.
constexpr size_t initial_threshold = size_t{1} << 20;
constexpr size_t large_object_estimate = 512;
constexpr size_t initial_mark_stack = 4096;

// In an address-sanitized build the free slots are poisoned, so a value used after the collector
// freed it (a missing edge) stops the run where it is used. A run of free slots is unpoisoned when
// allocation starts to take from it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool poisoning = true;
#else
constexpr bool poisoning = false;
#endif
void poison(void* memory, size_t size) {
#if defined(__SANITIZE_ADDRESS__)
  ASAN_POISON_MEMORY_REGION(memory, size);
#else
  (void)memory, (void)size;
#endif
}
void unpoison(void* memory, size_t size) {
#if defined(__SANITIZE_ADDRESS__)
  ASAN_UNPOISON_MEMORY_REGION(memory, size);
#else
  (void)memory, (void)size;
#endif
}
}  // namespace

Heap::Heap() : threshold_(initial_threshold), collect_at_(initial_threshold), natural_threshold_(initial_threshold) {}

Heap::~Heap() {
  give_back_runs();
  for (Chunk* chunk : chunks_) {
    for (size_t word = 0; word < bitmap_words; ++word)
      for (uint64_t doomed = chunk->used[word] & chunk->destructible[word]; doomed; doomed &= doomed - 1) {
        size_t g = word * bits_per_word + static_cast<size_t>(__builtin_ctzll(doomed));
        reinterpret_cast<Value*>(reinterpret_cast<char*>(chunk) + g * granule)->~Value();
      }
    unpoison(chunk, chunk_bytes);
    std::free(chunk);
  }
  for (std::vector<Value*>* values : {&large_, &permanent_large_})
    for (Value* value : *values) {
      value->~Value();
      std::free(value);
    }
}

// A fresh chunk is one free run, claimed whole; its slots are taken before any older chunk of its
// class is searched. A chunk the last sweep found empty, of whatever class, is taken before memory
// is asked for.
void Heap::add_chunk(size_t size_class) {
  Chunk* chunk;
  if (!empty_chunks_.empty()) {
    chunk = empty_chunks_.back();
    empty_chunks_.pop_back();
  } else {
    chunk = static_cast<Chunk*>(std::aligned_alloc(chunk_bytes, chunk_bytes));
    if (!chunk) throw std::bad_alloc();
    chunks_.push_back(chunk);
  }
  chunk->size_class = static_cast<uint32_t>(size_class);
  chunk->slot_count = static_cast<uint32_t>((chunk_bytes - first_slot_offset) / (size_class * granule));
  chunk->permanent = false;
  std::memcpy(chunk->used, slot_start_bits[size_class].data(), sizeof chunk->used);
  std::memset(chunk->marked, 0, sizeof chunk->marked);
  std::memset(chunk->destructible, 0, sizeof chunk->destructible);
  std::vector<Chunk*>& chunks = class_chunks_[size_class];
  chunks.push_back(chunk);
  cursors_[size_class] = {chunks.size() - 1, chunk->slot_count};
  runs_[size_class] = {chunk->slot(0), chunk->slot(0), chunk->slot(chunk->slot_count)};
  unpoison(chunk->slot(0), static_cast<size_t>(chunk->slot(chunk->slot_count) - chunk->slot(0)));
}

constinit const Heap::SlotStarts Heap::slot_start_bits = Heap::slot_starts();

// Looks for the next run of free slots of a class from where the last search stopped, and claims
// it. Its start is the first slot-start bit without a used bit, and its end the next used bit, both
// found a word at a time, so neither the values that survived nor the empty stretches that
// short-lived values leave behind are stepped over one by one; the run's used bits are set in the
// same pass.
bool Heap::find_free_run(size_t size_class) {
  std::vector<Chunk*>& chunks = class_chunks_[size_class];
  RunCursor& cursor = cursors_[size_class];
  const std::array<uint64_t, bitmap_words>& starts = slot_start_bits[size_class];
  size_t slot_granules = size_class;
  for (; cursor.chunk < chunks.size(); ++cursor.chunk, cursor.slot = 0) {
    Chunk* chunk = chunks[cursor.chunk];
    if (cursor.slot >= chunk->slot_count) continue;
    size_t from = granule_of(chunk->slot(cursor.slot));
    size_t word = from / bits_per_word;
    uint64_t free = starts[word] & ~chunk->used[word] & (~uint64_t{0} << (from % bits_per_word));
    while (!free && ++word < bitmap_words) free = starts[word] & ~chunk->used[word];
    if (!free) continue;
    size_t first_granule = granule_of(chunk->slot(0));
    size_t first = (word * bits_per_word + static_cast<size_t>(__builtin_ctzll(free)) - first_granule) / slot_granules;
    size_t last = chunk->slot_count;
    // The bits at and after the run's first slot in its first word, then whole words up to the next
    // used slot, or to the end of the bitmaps: no slot starts and none is used past the last one.
    for (uint64_t in_run = ~((free & (0 - free)) - 1);; in_run = ~uint64_t{0}) {
      uint64_t used = chunk->used[word] & in_run;
      if (used) {
        chunk->used[word] |= starts[word] & in_run & ((used & (0 - used)) - 1);
        last = (word * bits_per_word + static_cast<size_t>(__builtin_ctzll(used)) - first_granule) / slot_granules;
        break;
      }
      chunk->used[word] |= starts[word] & in_run;
      if (++word == bitmap_words) break;
    }
    cursor.slot = last;
    runs_[size_class] = {chunk->slot(first), chunk->slot(first), chunk->slot(last)};
    unpoison(chunk->slot(first), static_cast<size_t>(chunk->slot(last) - chunk->slot(first)));
    return true;
  }
  return false;
}

void* Heap::allocate_large(size_t size) {
  void* memory = std::malloc(size);
  if (!memory) throw std::bad_alloc();
  live_bytes_ += size;
  return memory;
}

// The counted part of the class's run is spent: counts the next piece, after finding and claiming
// a new run if this one is spent too.
void Heap::count_piece(size_t size_class) {
  FreeRun& run = runs_[size_class];
  if (run.counted_end == run.end) {
    size_t chunk_before = cursors_[size_class].chunk;
    bool found = find_free_run(size_class);
    // Looked at whenever allocation moves on to another chunk, not only when the heap must grow: a
    // recursion may return and the next one start within the free slots the last collection left.
    if ((!found || cursors_[size_class].chunk != chunk_before) && recursion_returned()) {
      set_threshold(0);
      frame_estimate_ = 0;
    }
    if (!found) add_chunk(size_class);
  }
  static constexpr auto piece_for = [] {
    std::array<size_t, small_classes + 1> pieces{};
    for (size_t c = 1; c <= small_classes; ++c) pieces[c] = (piece_bytes + c * granule - 1) / (c * granule) * (c * granule);
    return pieces;
  }();
  size_t bytes = std::min(static_cast<size_t>(run.end - run.counted_end), piece_for[size_class]);
  run.counted_end += bytes;
  live_bytes_ += bytes;
}

// Clears the bits of the slots of a class that start in granules [from, to) of a chunk, a word at a time.
void Heap::clear_slot_bits(uint64_t* bitmap, size_t size_class, size_t from, size_t to) {
  const std::array<uint64_t, bitmap_words>& starts = slot_start_bits[size_class];
  for (size_t word = from / bits_per_word; word * bits_per_word < to; ++word) {
    uint64_t in_range = starts[word];
    if (word == from / bits_per_word) in_range &= ~uint64_t{0} << (from % bits_per_word);
    if (to < (word + 1) * bits_per_word) in_range &= ~(~uint64_t{0} << (to % bits_per_word));
    bitmap[word] &= ~in_range;
  }
}

// Unclaims what each class's run has not handed out, and uncounts what of it was counted; the
// class's next search starts where the run was left, so its free slots are taken next all the same.
void Heap::give_back_runs() {
  for (size_t size_class = 1; size_class <= small_classes; ++size_class) {
    FreeRun& run = runs_[size_class];
    if (run.next == run.end) continue;
    Chunk* chunk = chunk_of(run.next);
    size_t from = granule_of(run.next);
    clear_slot_bits(chunk->used, size_class, from, from + static_cast<size_t>(run.end - run.next) / granule);
    size_t counted = static_cast<size_t>(run.counted_end - run.next);
    live_bytes_ -= counted;
    RunCursor& cursor = cursors_[size_class];
    BREVALON_ASSERT(class_chunks_[size_class][cursor.chunk] == chunk);
    cursor.slot = static_cast<size_t>(run.next - chunk->slot(0)) / (size_class * granule);
    run = {};
  }
}

// All but an eighth of the frames are gone, and they stood for at least a quarter of what was
// marked. A collection with so few frames left to mark is cheap: it is called for (at the next
// safe point: this is none) once a quarter of the marked bytes has been allocated since the last.
bool Heap::recursion_returned() {
  if (threshold_ == 0) return false;
  size_t frames = *pending_frames;
  size_t& most = most_frames_since_collection_;
  if (frames > most) most = frames;
  if (frames * 8 >= most) return false;
  return (most - frames) * pending_frame_estimate >= marked_at_collection_ / 4 &&
         live_bytes_ - marked_at_collection_ >= std::max(initial_threshold, marked_at_collection_ / 4);
}

// A constructor threw: the slot is unused again, and the search finds it after the next sweep.
void Heap::abandon(void* memory, uint8_t size_class) {
  if (size_class == 0) {
    std::free(memory);
    return;
  }
  size_t g = granule_of(memory);
  chunk_of(memory)->used[g / bits_per_word] &= ~(uint64_t{1} << (g % bits_per_word));
}

void Heap::add_root_set(RootSet* roots) {
  roots->next_root_set = root_sets_;
  roots->previous_root_set = nullptr;
  if (root_sets_) root_sets_->previous_root_set = roots;
  root_sets_ = roots;
}

void Heap::remove_root_set(RootSet* roots) {
  if (roots->previous_root_set) roots->previous_root_set->next_root_set = roots->next_root_set;
  else root_sets_ = roots->next_root_set;
  if (roots->next_root_set) roots->next_root_set->previous_root_set = roots->previous_root_set;
  roots->next_root_set = roots->previous_root_set = nullptr;
}

// Marks without recursion: a list nested a million deep only grows the work list. The list is used
// up to `pending` and only grows out of line, so that marking one value saves no registers.
//
// Cells, numbers and strings make up most of a heap, and their kinds are final: their edges are read
// here, without the two virtual calls every other kind costs. A number or a string that is not in
// the doc table has no edges at all, so it is done with when it is marked and never goes on the list.
// A value's doc and metadata are taken when the value is, from the list and not at once, so that a
// chain of docs of docs does not recurse.
struct Heap::Marker final : Visitor {
  Marker(std::vector<Value*>& list, const DocTable& table)
      : stack(list), docs(table), items(list.data()), capacity(list.size()) {}
  void visit(Value* value) override { push(value); }
  void push(Value* value) {
    if (!mark(value)) return;
    bool leaf = value->kind == Kind::Integer || value->kind == Kind::Floating || value->kind == Kind::String;
    if (leaf && !value->in_doc_table) {
      if (value->kind == Kind::String) outside += static_cast<String*>(value)->String::footprint();
      return;
    }
    if (pending == capacity) [[unlikely]] grow();
    items[pending++] = value;
  }
  void push_if_set(Value* value) {
    if (value) push(value);
  }
  [[gnu::noinline]] void grow() {
    stack.resize(std::max(stack.size() * 2, initial_mark_stack));
    items = stack.data();
    capacity = stack.size();
  }
  [[gnu::noinline]] void push_doc_and_metadata(const Value* value) {
    if (const DocTable::Entry* entry = docs.find(value)) {
      push_if_set(entry->doc);
      push_if_set(entry->metadata);
    }
  }
  void drain() {
    while (pending > 0) {
      Value* value = items[--pending];
      switch (value->kind) {
        case Kind::Cell:
          push_if_set(static_cast<Cell*>(value)->car);
          push_if_set(static_cast<Cell*>(value)->cdr);
          break;
        case Kind::Integer:
        case Kind::Floating:
          break;
        case Kind::String:
          outside += static_cast<String*>(value)->String::footprint();
          break;
        default:
          value->visit_edges(*this);
          outside += value->footprint();
      }
      if (value->in_doc_table) [[unlikely]] push_doc_and_metadata(value);
    }
  }
  std::vector<Value*>& stack;
  const DocTable& docs;
  Value** items;
  size_t capacity;
  size_t pending = 0;
  // Bytes the marked values own outside their slots.
  size_t outside = 0;
};

void Heap::mark_from_roots() {
  Marker marker(mark_stack_, docs_);
  for (RootSet* roots = root_sets_; roots; roots = roots->next_root_set) roots->visit_roots(marker);
  for (Value* value : explicit_roots_) marker(value);
  // The image's values are marked for good: only what those that can change hold now is pushed,
  // and of those only the ones changed since the image was sealed hold anything but its values.
  for (PermanentRoot& root : permanent_roots_) {
    if (root.version && *root.version != root.sealed_version) root.version = nullptr;
    if (!root.version) root.value->visit_edges(marker);
    if (root.value->in_doc_table) marker.push_doc_and_metadata(root.value);
  }
  marker.drain();
  marked_outside_bytes_ = marker.outside;
}

// Destroys the dead values that own memory, frees the slots of all dead ones and clears the marks,
// a word of 64 granules at a time; returns the slots still in use.
size_t Heap::sweep_chunk(Chunk* chunk) {
  size_t live_slots = 0;
  for (size_t word = 0; word < bitmap_words; ++word) {
    uint64_t marked = chunk->marked[word];
    // Stretches no value has used since the last sweep (or ever) have nothing to clear.
    if (!(chunk->used[word] | marked)) continue;
    for (uint64_t doomed = chunk->used[word] & chunk->destructible[word] & ~marked; doomed; doomed &= doomed - 1) {
      size_t g = word * bits_per_word + static_cast<size_t>(__builtin_ctzll(doomed));
      reinterpret_cast<Value*>(reinterpret_cast<char*>(chunk) + g * granule)->~Value();
    }
    if (poisoning)
      for (uint64_t dead = chunk->used[word] & ~marked; dead; dead &= dead - 1) {
        size_t g = word * bits_per_word + static_cast<size_t>(__builtin_ctzll(dead));
        poison(reinterpret_cast<char*>(chunk) + g * granule, chunk->size_class * granule);
      }
    chunk->used[word] = marked;
    chunk->destructible[word] &= marked;
    chunk->marked[word] = 0;
    // Short-lived values leave whole words dead: no count to take (the build targets plain x86-64,
    // where counting bits is a library call).
    if (marked) live_slots += static_cast<size_t>(__builtin_popcountll(marked));
  }
  return live_slots;
}

void Heap::sweep() {
  give_back_runs();
  size_t live = marked_outside_bytes_ + permanent_bytes_;
  empty_chunks_.clear();
  for (Chunk* chunk : chunks_) {
    if (chunk->permanent) continue;
    size_t slots = sweep_chunk(chunk);
    live += slots * chunk->size_class * granule;
    if (slots == 0) empty_chunks_.push_back(chunk);
  }
  // An empty chunk leaves its class (its bitmaps are clear): whichever class needs a chunk next
  // takes it, so memory emptied of values of one size holds values of another, as when a program
  // drops a long list of numbers and goes on to make scopes. Reversed, so that taking from the back
  // takes the first first, as slots are taken lowest first: a run that makes what it made before
  // takes the same memory again.
  if (!empty_chunks_.empty()) {
    for (Chunk* chunk : empty_chunks_) chunk->size_class = 0;
    for (std::vector<Chunk*>& chunks : class_chunks_)
      std::erase_if(chunks, [](const Chunk* chunk) { return chunk->size_class == 0; });
    std::reverse(empty_chunks_.begin(), empty_chunks_.end());
  }
  // Allocation starts again from the lowest free slot of each class.
  for (size_t size_class = 0; size_class <= small_classes; ++size_class) {
    runs_[size_class] = {};
    cursors_[size_class] = {};
  }
  size_t kept = 0;
  for (Value* value : large_) {
    if (value->marked) {
      value->marked = false;
      live += large_object_estimate;
      large_[kept++] = value;
    } else {
      value->~Value();
      std::free(value);
    }
  }
  large_.resize(kept);
  live_bytes_ = live;
}

void Heap::collect() {
  BREVALON_ASSERT(!collecting_);
  // Cleared on every way out, a failed allocation of the mark stack included.
  struct Collecting {
    bool& flag;
    explicit Collecting(bool& f) : flag(f) { flag = true; }
    ~Collecting() { flag = false; }
  } collecting(collecting_);
  mark_from_roots();
  names.drop_unmarked();
  docs_.forget_unmarked(is_marked);
  for (WeakTable* table : weak_tables_) table->forget_unmarked();
  sweep();
  ++collections_;
  // The next collection waits for twice what this one marked, plus the allowance of the frames then
  // pending (see frame_allowance).
  size_t marked = live_bytes_;
  size_t natural = marked > initial_threshold / 2 ? marked * 2 : initial_threshold;
  marked_at_collection_ = marked;
  // One called for early does not bring the next one sooner than the last one's threshold would
  // have (marking a recursion that starts again costs in proportion to its frames), but it does
  // not hand that threshold on to the one after.
  set_threshold(threshold_ == 0 ? std::max(natural, natural_threshold_) : natural);
  natural_threshold_ = natural;
  frame_estimate_ = pending_frame_estimate;
  most_frames_since_collection_ = *pending_frames;
  if (live_bytes_ > max_live_bytes)
    throw InternalError("out of memory: the program holds more than " + std::to_string(max_live_bytes >> 30) +
                        " GiB of live values");
}

void Heap::make_image_permanent() {
  BREVALON_ASSERT(permanent_bytes_ == 0);
  // Start-up leaves next to nothing behind: nothing is collected here. What it made counts as live
  // at every sweep from now on.
  give_back_runs();
  permanent_bytes_ = live_bytes_;
  for (Chunk* chunk : chunks_) {
    chunk->permanent = true;
    std::memcpy(chunk->marked, chunk->used, sizeof chunk->marked);
  }
  for (size_t size_class = 0; size_class <= small_classes; ++size_class) {
    class_chunks_[size_class].clear();
    runs_[size_class] = {};
    cursors_[size_class] = {};
  }
  for (Value* value : large_) value->marked = true;
  permanent_large_ = std::move(large_);
  large_.clear();
  for_each_object([this](Value* value) {
    if (!edges_may_change(value->kind) && !value->in_doc_table) return;
    const uint64_t* version = value->edges_version();
    permanent_roots_.push_back({value, version, version ? *version : 0});
  });
  names.make_all_permanent();
}

// Cells, numbers, strings, symbols and the unique constants hold the same edges from when they are
// made; every other kind may be given new ones.
bool Heap::edges_may_change(Kind kind) {
  switch (kind) {
    case Kind::Cell:
    case Kind::Integer:
    case Kind::Floating:
    case Kind::String:
    case Kind::NamedSymbol:
    case Kind::NumSymbol:
    case Kind::Unique:
      return false;
    default:
      return true;
  }
}

// A value of the image given its first doc or metadata is marked from from now on, so that they
// are kept.
DocTable::Entry& Heap::entry_for(Value* value) {
  if (!value->in_doc_table && is_permanent(value) && !edges_may_change(value->kind))
    permanent_roots_.push_back({value, nullptr, 0});
  return docs_.entry_for(value);
}

size_t Heap::object_count() {
  size_t count = 0;
  for_each_object([&](Value*) { ++count; });
  return count;
}

}  // namespace brevalon

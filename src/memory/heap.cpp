// Allocation from size-class chunks, and a precise, non-moving mark-and-sweep collector.
#include "memory/heap.h"

#include <cstdlib>
#include <cstring>

#include "base/errors.h"

namespace brevalon {

namespace {
// Small enough that a short run stays near the size of its start-up image; a collection then
// marks little more than the prelude, so it stays cheap.
constexpr size_t initial_threshold = size_t{2} << 20;
constexpr size_t large_object_estimate = 512;
}  // namespace

Heap::Heap() : threshold_(initial_threshold) {}

Heap::~Heap() {
  for_each_object([](Value* value) { value->~Value(); });
  for (Value* value : large_) std::free(value);
  for (Chunk* chunk : chunks_) std::free(chunk);
}

void Heap::add_chunk(size_t size_class) {
  auto* chunk = static_cast<Chunk*>(std::aligned_alloc(chunk_bytes, chunk_bytes));
  if (!chunk) throw std::bad_alloc();
  chunk->size_class = static_cast<uint32_t>(size_class);
  chunk->slot_count = static_cast<uint32_t>((chunk_bytes - first_slot_offset) / (size_class * granule));
  std::memset(chunk->used, 0, sizeof chunk->used);
  chunks_.push_back(chunk);
  // Thread the new slots onto the free list, lowest address first.
  FreeSlot* head = free_lists_[size_class];
  for (size_t i = chunk->slot_count; i-- > 0;) {
    auto* slot = reinterpret_cast<FreeSlot*>(chunk->slot(i));
    slot->next = head;
    head = slot;
  }
  free_lists_[size_class] = head;
}

// A large object, or a size class whose free list has run dry.
std::pair<void*, uint8_t> Heap::allocate_slowly(size_t size) {
  size_t size_class = (size + granule - 1) / granule;
  if (size_class > small_classes) {
    void* memory = std::malloc(size);
    if (!memory) throw std::bad_alloc();
    bytes_since_collection_ += size;
    live_bytes_ += size;
    return {memory, 0};
  }
  add_chunk(size_class);
  return allocate_bytes(size);
}

// A constructor threw: the slot goes back unused.
void Heap::abandon(void* memory, uint8_t size_class) {
  if (size_class == 0) {
    std::free(memory);
    return;
  }
  Chunk* chunk = chunk_of(memory);
  size_t index = static_cast<size_t>(static_cast<char*>(memory) - chunk->slot(0)) / (size_class * granule);
  chunk->used[index / slots_per_word] &= ~(uint64_t{1} << (index % slots_per_word));
  auto* slot = static_cast<FreeSlot*>(memory);
  slot->next = free_lists_[size_class];
  free_lists_[size_class] = slot;
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

namespace {
// Marks without recursion: a list nested a million deep only grows the work list.
struct Marker final : Visitor {
  explicit Marker(std::vector<Value*>& stack) : stack(stack) {}
  void visit(Value* value) override {
    if (value->marked) return;
    value->marked = true;
    stack.push_back(value);
  }
  std::vector<Value*>& stack;
};
}  // namespace

void Heap::mark_from_roots() {
  Marker marker(mark_stack_);
  for (RootSet* roots = root_sets_; roots; roots = roots->next_root_set) roots->visit_roots(marker);
  for (Value* value : explicit_roots_) marker(value);
  while (!mark_stack_.empty()) {
    Value* value = mark_stack_.back();
    mark_stack_.pop_back();
    value->visit_edges(marker);
  }
}

void Heap::sweep() {
  size_t live = 0;
  for (auto& list : free_lists_) list = nullptr;
  // Chunks are walked from the last so that each free list ends up in address order.
  for (auto it = chunks_.rbegin(); it != chunks_.rend(); ++it) {
    Chunk* chunk = *it;
    size_t slot_bytes = chunk->size_class * granule;
    FreeSlot* head = free_lists_[chunk->size_class];
    for (size_t i = chunk->slot_count; i-- > 0;) {
      uint64_t& word = chunk->used[i / slots_per_word];
      uint64_t bit = uint64_t{1} << (i % slots_per_word);
      if (word & bit) {
        auto* value = reinterpret_cast<Value*>(chunk->slot(i));
        if (value->marked) {
          value->marked = false;
          live += slot_bytes + value->footprint();
          continue;
        }
        value->~Value();
        word &= ~bit;
      }
      auto* slot = reinterpret_cast<FreeSlot*>(chunk->slot(i));
      slot->next = head;
      head = slot;
    }
    free_lists_[chunk->size_class] = head;
  }
  size_t kept = 0;
  for (Value* value : large_) {
    if (value->marked) {
      value->marked = false;
      live += large_object_estimate + value->footprint();
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
  for (WeakTable* table : weak_tables_) table->forget_unmarked();
  sweep();
  ++collections_;
  bytes_since_collection_ = 0;
  threshold_ = live_bytes_ > initial_threshold / 2 ? live_bytes_ * 2 : initial_threshold;
  if (live_bytes_ > max_live_bytes)
    throw InternalError("out of memory: the program holds more than " + std::to_string(max_live_bytes >> 30) +
                        " GiB of live values");
}

size_t Heap::object_count() {
  size_t count = 0;
  for_each_object([&](Value*) { ++count; });
  return count;
}

}  // namespace brevalon

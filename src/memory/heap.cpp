// Allocation from size-class free lists, and a precise, non-moving mark-and-sweep collector.
#include "memory/heap.h"

#include <cstdlib>

#include "eval/errors.h"

namespace brevalon {

namespace {
constexpr size_t initial_threshold = size_t{8} << 20;
}

Heap::Heap() : threshold_(initial_threshold) {}

Heap::~Heap() {
  for (Value* value = objects_; value;) {
    Value* next = value->heap_next;
    bool large = value->size_class == 0;
    value->~Value();
    if (large) std::free(value);
    value = next;
  }
  for (void* chunk : chunks_) std::free(chunk);
}

std::pair<void*, uint8_t> Heap::allocate_bytes(size_t size) {
  size_t size_class = (size + granule - 1) / granule;
  if (size_class > small_classes) {
    void* memory = std::malloc(size);
    if (!memory) throw std::bad_alloc();
    bytes_since_collection_ += size;
    live_bytes_ += size;
    return {memory, 0};
  }
  size_t bytes = size_class * granule;
  bytes_since_collection_ += bytes;
  live_bytes_ += bytes;
  if (FreeBlock* block = free_lists_[size_class]) {
    free_lists_[size_class] = block->next;
    return {block, static_cast<uint8_t>(size_class)};
  }
  // Compared as a distance: before the first chunk both pointers are null, and null + n is undefined.
  if (bytes > static_cast<size_t>(bump_end_ - bump_)) {
    void* chunk = std::malloc(chunk_bytes);
    if (!chunk) throw std::bad_alloc();
    chunks_.push_back(chunk);
    bump_ = static_cast<char*>(chunk);
    bump_end_ = bump_ + chunk_bytes;
  }
  void* memory = bump_;
  bump_ += bytes;
  return {memory, static_cast<uint8_t>(size_class)};
}

void Heap::release(Value* value) {
  uint8_t size_class = value->size_class;
  value->~Value();
  if (size_class == 0) {
    // The size of a large object is not kept; live_bytes_ is corrected after the sweep.
    std::free(value);
    return;
  }
  auto* block = reinterpret_cast<FreeBlock*>(value);
  block->next = free_lists_[size_class];
  free_lists_[size_class] = block;
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
  Value** link = &objects_;
  while (Value* value = *link) {
    if (value->marked) {
      value->marked = false;
      live += (value->size_class ? value->size_class * granule : 4 * small_classes * granule) + value->footprint();
      link = &value->heap_next;
    } else {
      *link = value->heap_next;
      release(value);
    }
  }
  live_bytes_ = live;
}

void Heap::collect() {
  mark_from_roots();
  sweep();
  ++collections_;
  bytes_since_collection_ = 0;
  threshold_ = live_bytes_ > initial_threshold / 2 ? live_bytes_ * 2 : initial_threshold;
  if (live_bytes_ > max_live_bytes) throw InternalError("out of memory: the program holds more than 12 GiB of live values");
}

size_t Heap::object_count() const {
  size_t count = 0;
  for (Value* value = objects_; value; value = value->heap_next) ++count;
  return count;
}

}  // namespace brevalon

// The heap: allocation of values and the mark-and-sweep collector that reclaims them.
#pragma once
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

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

class Heap {
 public:
  Heap();
  ~Heap();
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;

  // The one path by which values come into being.
  template <typename T, typename... Args>
  T* make(Args&&... args) {
    auto [memory, size_class] = allocate_bytes(sizeof(T));
    T* value = new (memory) T(std::forward<Args>(args)...);
    value->size_class = size_class;
    value->heap_next = objects_;
    objects_ = value;
    size_t outside = value->footprint();
    bytes_since_collection_ += outside;
    live_bytes_ += outside;
    return value;
  }

  // Called by the trampoline between frame steps, where every live value is reachable from a root.
  void safe_point() {
    if (bytes_since_collection_ >= threshold_ || stress_due()) collect();
  }
  void collect();

  // Stress collection starts once start-up is done: the prelude alone would take minutes of it.
  void begin_stress() { stressing_ = true; }

  void add_root_set(RootSet* roots);
  void remove_root_set(RootSet* roots);

  // Values a native holds across a nested run; pushed and popped in stack order.
  void push_root(Value* value) { explicit_roots_.push_back(value); }
  void pop_root() { explicit_roots_.pop_back(); }

  size_t live_bytes() const { return live_bytes_; }
  size_t collections() const { return collections_; }
  size_t object_count() const;
  template <typename F>
  void for_each_object(F&& visit) {
    for (Value* value = objects_; value; value = value->heap_next) visit(value);
  }

  // Live data beyond this ends the run with an orderly error instead of exhausting the machine.
  static constexpr size_t max_live_bytes = size_t{12} << 30;

 private:
  std::pair<void*, uint8_t> allocate_bytes(size_t size);
  void release(Value* value);
  void mark_from_roots();
  void sweep();
  bool stress_due() {
#if BREVALON_GC_STRESS > 0
    return stressing_ && ++stress_counter_ % BREVALON_GC_STRESS == 0;
#else
    return false;
#endif
  }

  static constexpr size_t granule = 16;
  static constexpr size_t small_classes = 16;  // objects up to 256 bytes come from free lists
  static constexpr size_t chunk_bytes = 256 * 1024;
  struct FreeBlock {
    FreeBlock* next;
  };

  Value* objects_ = nullptr;
  FreeBlock* free_lists_[small_classes + 1] = {};
  std::vector<void*> chunks_;
  char* bump_ = nullptr;
  char* bump_end_ = nullptr;
  size_t bytes_since_collection_ = 0;
  size_t live_bytes_ = 0;
  size_t threshold_;
  size_t collections_ = 0;
  [[maybe_unused]] size_t stress_counter_ = 0;
  bool stressing_ = false;
  RootSet* root_sets_ = nullptr;
  std::vector<Value*> explicit_roots_;
  std::vector<Value*> mark_stack_;
};

}  // namespace brevalon

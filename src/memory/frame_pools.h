// The run's free lists of frame and resumable-state memory, one list per size class.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace brevalon {

// Raw blocks only, never anything a program can observe; the run that owns them frees them at its end,
// so no list outlives its run or is shared between runs.
//
// Blocks are cut from slabs, each aligned to its own size and starting with the pools that own it, so
// a block costs its rounded size and nothing more: no word of its own and no allocator header. A deep
// recursion keeps hundreds of thousands of frames pending, and those words added up to more than half
// of the frames' own size.
class FramePools {
 public:
  static constexpr size_t granule = 8;
  static constexpr size_t largest = 1024;
  static constexpr size_t slab_bytes = 64 * 1024;

  FramePools() = default;
  FramePools(const FramePools&) = delete;
  FramePools& operator=(const FramePools&) = delete;
  ~FramePools() {
    for (void* slab : slabs_) {
      unpoison(slab, slab_bytes);
      std::free(slab);
    }
  }

  // A block of at least `size` bytes.
  void* take(size_t size) {
    // A listed block keeps its link where the object goes.
    void*& list = lists_[slot(size)];
    size_t bytes = slot(size) * granule;
    if (void* object = list) {
      unpoison(object, bytes);
      list = *static_cast<void**>(object);
      return object;
    }
    if (static_cast<size_t>(end_ - next_) < bytes) [[unlikely]] add_slab();
    void* object = next_;
    next_ += bytes;
    unpoison(object, bytes);
    return object;
  }

  // Returns a block taken from whichever pools own it.
  static void give_back(void* object, size_t size) {
    FramePools* owner = *reinterpret_cast<FramePools**>(reinterpret_cast<uintptr_t>(object) & ~(slab_bytes - 1));
    void*& list = owner->lists_[slot(size)];
    *static_cast<void**>(object) = list;
    list = object;
    poison(object, slot(size) * granule);
  }

  // The bytes of the slabs taken so far; they are kept until the run ends.
  size_t reserved_bytes() const { return slabs_.size() * slab_bytes; }

 private:
  static size_t slot(size_t size) { return (size + granule - 1) / granule; }
  // In an address-sanitized build the memory of no block in use is poisoned, so a frame used after it
  // was given back, or written past its end, stops the run where it happens.
  static void poison([[maybe_unused]] void* memory, [[maybe_unused]] size_t size) {
#if defined(__SANITIZE_ADDRESS__)
    ASAN_POISON_MEMORY_REGION(memory, size);
#endif
  }
  static void unpoison([[maybe_unused]] void* memory, [[maybe_unused]] size_t size) {
#if defined(__SANITIZE_ADDRESS__)
    ASAN_UNPOISON_MEMORY_REGION(memory, size);
#endif
  }
  // What is left of the current slab is abandoned: less than one block of the largest class.
  [[gnu::noinline]] void add_slab() {
    slabs_.reserve(slabs_.size() + 1);
    void* slab = std::aligned_alloc(slab_bytes, slab_bytes);
    if (!slab) throw std::bad_alloc();
    slabs_.push_back(slab);
    *static_cast<FramePools**>(slab) = this;
    next_ = static_cast<char*>(slab) + header_bytes;
    end_ = static_cast<char*>(slab) + slab_bytes;
    poison(next_, static_cast<size_t>(end_ - next_));
  }
  static constexpr size_t header_bytes = 16;

  std::array<void*, largest / granule + 1> lists_{};
  char* next_ = nullptr;
  char* end_ = nullptr;
  std::vector<void*> slabs_;
};

}  // namespace brevalon

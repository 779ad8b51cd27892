// The run's free lists of frame and resumable-state memory, one list per size class.
#pragma once
#include <array>
#include <cstddef>
#include <new>

namespace brevalon {

// Raw blocks only, never anything a program can observe; the run that owns them frees them at its end,
// so no list outlives its run or is shared between runs.
class FramePools {
 public:
  static constexpr size_t granule = 16;
  static constexpr size_t largest = 1024;

  FramePools() = default;
  FramePools(const FramePools&) = delete;
  FramePools& operator=(const FramePools&) = delete;
  ~FramePools() {
    for (void*& list : lists_) {
      while (list) {
        void* block = list;
        list = *static_cast<void**>(block);
        ::operator delete(block);
      }
    }
  }

  // A block of at least `size` bytes; the owner's word is stored just before the part returned.
  void* take(size_t size) {
    void*& list = lists_[slot(size)];
    void* block = list;
    if (block) {
      list = *static_cast<void**>(block);
    } else {
      block = ::operator new(slot(size) * granule + granule);
    }
    *static_cast<FramePools**>(block) = this;
    return static_cast<char*>(block) + granule;
  }

  // Returns a block taken from whichever pools own it.
  static void give_back(void* object, size_t size) {
    void* block = static_cast<char*>(object) - granule;
    FramePools* owner = *static_cast<FramePools**>(block);
    void*& list = owner->lists_[slot(size)];
    *static_cast<void**>(block) = list;
    list = block;
  }

 private:
  static size_t slot(size_t size) { return (size + granule - 1) / granule; }
  std::array<void*, largest / granule + 1> lists_{};
};

}  // namespace brevalon

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
        void* object = list;
        list = *static_cast<void**>(object);
        ::operator delete(static_cast<char*>(object) - granule);
      }
    }
  }

  // A block of at least `size` bytes; the owner's word is stored just before the part returned.
  void* take(size_t size) {
    // A listed block keeps its link where the object goes, so the owner's word is written only when
    // the block is made and stays valid for the block's whole life.
    void*& list = lists_[slot(size)];
    if (void* object = list) {
      list = *static_cast<void**>(object);
      return object;
    }
    char* block = static_cast<char*>(::operator new(slot(size) * granule + granule));
    *reinterpret_cast<FramePools**>(block) = this;
    return block + granule;
  }

  // Returns a block taken from whichever pools own it.
  static void give_back(void* object, size_t size) {
    FramePools* owner = *reinterpret_cast<FramePools**>(static_cast<char*>(object) - granule);
    void*& list = owner->lists_[slot(size)];
    *static_cast<void**>(object) = list;
    list = object;
  }

 private:
  static size_t slot(size_t size) { return (size + granule - 1) / granule; }
  std::array<void*, largest / granule + 1> lists_{};
};

}  // namespace brevalon

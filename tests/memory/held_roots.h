// A root set for the heap tests: values held as an interpreter's frame stack holds them.
#pragma once
#include <vector>

#include "memory/heap.h"

namespace brevalon {

struct Held final : RootSet {
  explicit Held(Heap& heap) : owner(heap) { owner.add_root_set(this); }
  ~Held() { owner.remove_root_set(this); }
  void visit_roots(Visitor& visit) override {
    for (Value* value : values) visit(value);
  }
  Heap& owner;
  std::vector<Value*> values;
};

}  // namespace brevalon

// Unit tests of allocation: the slots a size class claims a run at a time are no values until handed out.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "held_roots.h"
#include "memory/heap.h"
#include "values/environment.h"
#include "values/list.h"
#include "values/scalars.h"

namespace brevalon {
namespace {

// Makes one value of some size class in the given heap.
struct Maker {
  const char* what;
  std::function<Value*(Heap&)> make;
};

const Maker makers[] = {
    {"an integer", [](Heap& heap) -> Value* { return heap.make<Integer>(7); }},
    {"a cell", [](Heap& heap) -> Value* { return heap.make<Cell>(heap.constants.nil, heap.constants.nil); }},
    {"a string", [](Heap& heap) -> Value* { return heap.make<String>(std::string(40, 's')); }},
    {"an environment", [](Heap& heap) -> Value* { return make_environment(heap, nullptr); }},
};

TEST(Allocation, AWalkOfTheHeapSeesEachValueMadeAndNoSlotOnlyClaimed) {
  for (const Maker& maker : makers) {
    Heap heap;
    size_t start = heap.object_count();
    for (size_t made = 1; made <= 300; ++made) {
      maker.make(heap);
      ASSERT_EQ(heap.object_count(), start + made) << maker.what;
    }
  }
}

TEST(Allocation, ValuesOfEveryClassMadeInTurnAreAllWalked) {
  Heap heap;
  size_t start = heap.object_count();
  std::vector<Value*> made;
  for (int round = 0; round < 2000; ++round)
    for (const Maker& maker : makers) made.push_back(maker.make(heap));
  std::vector<Value*> walked;
  heap.for_each_object([&](Value* value) { walked.push_back(value); });
  EXPECT_EQ(walked.size(), start + made.size());
  std::sort(made.begin(), made.end());
  std::sort(walked.begin(), walked.end());
  EXPECT_TRUE(std::includes(walked.begin(), walked.end(), made.begin(), made.end()));
}

TEST(Allocation, AWalkLosesNoSlot) {
  Heap heap;
  Value* first = heap.make<Integer>(1);
  Value* second = heap.make<Integer>(2);
  heap.object_count();
  Value* after_walk = heap.make<Integer>(3);
  EXPECT_EQ(reinterpret_cast<char*>(after_walk) - reinterpret_cast<char*>(second),
            reinterpret_cast<char*>(second) - reinterpret_cast<char*>(first));
}

TEST(Allocation, LiveBytesGrowByTheSlotsOfTheValuesMadeAndNoMore) {
  Heap heap;
  size_t start = heap.live_bytes();
  heap.make<Integer>(0);
  size_t slot = heap.live_bytes() - start;
  EXPECT_GE(slot, sizeof(Integer));
  for (int i = 1; i < 1000; ++i) heap.make<Integer>(i);
  EXPECT_EQ(heap.live_bytes() - start, 1000 * slot);
}

TEST(Allocation, ACollectionInTheMiddleOfARunKeepsWhatWasMadeAndFreesTheRest) {
  Heap heap;
  Held held(heap);
  size_t start = heap.object_count();
  for (int i = 0; i < 1000; ++i) {
    Value* value = heap.make<Integer>(i);
    if (i % 10 == 0) held.values.push_back(value);
  }
  heap.collect();
  EXPECT_EQ(heap.object_count(), start + held.values.size());
  for (size_t i = 0; i < held.values.size(); ++i)
    EXPECT_EQ(static_cast<Integer*>(held.values[i])->value, static_cast<int64_t>(i * 10));
  // What the collection freed, the claimed slots the run had not handed out among it, is taken again.
  for (int i = 0; i < 1000; ++i) heap.make<Integer>(i);
  EXPECT_EQ(heap.object_count(), start + held.values.size() + 1000);
}

// A value whose constructor fails: its slot, handed out already, must not be walked or kept.
struct RefusedValue : Value {
  RefusedValue() : Value(Kind::Unique) { throw std::runtime_error("refused"); }
};

TEST(Allocation, AValueWhoseConstructorThrowsLeavesNoObjectBehind) {
  Heap heap;
  size_t start = heap.object_count();
  EXPECT_THROW(heap.make<RefusedValue>(), std::runtime_error);
  EXPECT_EQ(heap.object_count(), start);
  heap.make<Integer>(1);
  EXPECT_EQ(heap.object_count(), start + 1);
  heap.collect();
  EXPECT_EQ(heap.object_count(), start);
}

}  // namespace
}  // namespace brevalon

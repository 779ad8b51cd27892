// Unit tests of the frame pools: blocks cut from slabs, given back to the pools that own them.
#include "memory/frame_pools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace brevalon {
namespace {

TEST(FramePools, ABlockGivenBackIsTheNextOneTakenOfItsSize) {
  FramePools pools;
  void* first = pools.take(48);
  void* other = pools.take(48);
  FramePools::give_back(first, 48);
  EXPECT_EQ(pools.take(41), first) << "sizes that round to the same class share a list";
  EXPECT_NE(pools.take(48), other);
}

TEST(FramePools, ABlockGoesBackToThePoolsItCameFrom) {
  FramePools mine;
  FramePools theirs;
  void* block = theirs.take(64);
  FramePools::give_back(block, 64);
  EXPECT_NE(mine.take(64), block);
  EXPECT_EQ(theirs.take(64), block);
}

TEST(FramePools, BlocksAcrossManySlabsAreAlignedAndNeverOverlap) {
  FramePools pools;
  const size_t sizes[] = {8, 40, 56, 72, 1024};
  std::vector<std::pair<char*, size_t>> blocks;
  // Enough blocks to fill several slabs, each written whole so that an overlap shows as a changed byte.
  for (size_t i = 0; i < 20000; ++i) {
    size_t size = sizes[i % std::size(sizes)];
    auto* block = static_cast<char*>(pools.take(size));
    ASSERT_EQ(reinterpret_cast<uintptr_t>(block) % FramePools::granule, 0u);
    std::memset(block, static_cast<int>(i % 251), size);
    blocks.emplace_back(block, size);
  }
  EXPECT_GT(pools.reserved_bytes(), 4 * FramePools::slab_bytes);
  for (size_t i = 0; i < blocks.size(); ++i)
    for (size_t j = 0; j < blocks[i].second; ++j) ASSERT_EQ(blocks[i].first[j], static_cast<char>(i % 251)) << i;
  // Every block given back is found again, and nothing new is cut while listed blocks remain.
  for (auto [block, size] : blocks) FramePools::give_back(block, size);
  size_t reserved = pools.reserved_bytes();
  std::set<char*> again;
  for (auto [block, size] : blocks) again.insert(static_cast<char*>(pools.take(size)));
  EXPECT_EQ(again.size(), blocks.size());
  EXPECT_EQ(pools.reserved_bytes(), reserved);
}

}  // namespace
}  // namespace brevalon

// Fast paths for prelude functions, valid while the bindings they stand for keep their start-up values.
#pragma once
#include <cstddef>
#include <vector>

#include "eval/fast/counted_lists.h"
#include "eval/fast/dispatch.h"
#include "eval/fast/list_walks.h"
#include "eval/fast/range_iterator.h"
#include "values/value.h"

#ifndef BREVALON_FAST_PATHS
#error "the build defines BREVALON_FAST_PATHS as 1 (fast paths) or 0 (faithful interpreter)"
#endif

namespace brevalon {

struct ResumableNative;
struct Runtime;

// False in the faithful build, whose fast paths are never armed: it is the reference the
// fast build is compared with.
inline constexpr bool fast_paths_built = BREVALON_FAST_PATHS != 0;

// The groups of watched names: each change of a watched binding bumps the counter of every group
// its name is in. Any start-up name is in the first.
enum WatchGroup : uint8_t { watch_any = 1, watch_dispatch = 2 };

// One per run. A group's counter above 0 turns its fast paths off for the rest of the run.
struct FastPaths {
  Value* plus = nullptr;  // the prelude's variadic +
  // The special forms the direct evaluator runs itself, as start-up made them.
  ResumableNative* if_native = nullptr;
  ResumableNative* and_native = nullptr;
  ResumableNative* or_native = nullptr;
  ResumableNative* for_native = nullptr;
  // quote, whose value is its operand form: an operand form that quotes is its own answer.
  Value* quote_native = nullptr;
  uint64_t changes[2] = {0, 0};
  uint64_t table_changes = 0;  // any change to a table made during start-up
  DispatchPaths dispatch;
  RangeText range;
  MapText map;
  FilterText filter;
  ReduceText reduce;
  CountedList counted_list;
  // The prelude's generics whose methods fast paths stand for, as method-store holds them.
  enum StoreEntry : uint8_t { add_entry = 1, iter_entry = 2, length_entry = 4, at_entry = 8, in_entry = 16 };
  static constexpr const char* store_keys[5] = {"add", "iter", "length", "at", "in"};
  Value* store_entries[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
  uint8_t entries_unchanged = 0;  // the StoreEntry bits of the entries still as start-up left them
  uint64_t method_store_version = 0;
  const uint64_t* store_version = nullptr;  // method-store's own, while the store stays start-up's
  // True while no start-up binding changed and the given entries of method-store are as start-up
  // left them (looked at again only when the store has changed).
  bool prelude_intact(uint8_t entries) {
    if (changes[0] != 0) return false;
    if (store_version && *store_version != method_store_version) look_at_store_again();
    return (entries_unchanged & entries) == entries;
  }
  void look_at_store_again();
  // + stands for sum, reduce and add's methods.
  bool plus_intact() { return prelude_intact(add_entry); }
};

// Called after start-up: every environment and table made so far is watched from now on.
void arm_fast_paths(Runtime& runtime);
// The same when start-up knows them: every environment and table it made is in the list.
void arm_fast_paths(Runtime& runtime, const std::vector<Value*>& scopes_and_tables);

// More frames than the prelude's + ever has pending at once for this many arguments: sum,
// reduce and one level of reduce-helper per argument, each with an add dispatch that walks the
// methods the prelude defines (a program that adds methods has switched + off).
inline size_t frames_of_prelude_plus(size_t arguments) { return 4096 + 256 * arguments; }

// (+ args...) on integers only, strings only or lists only, computed as the prelude would
// compute it: pairwise through add. Null when the arguments take the general path.
Value* fast_plus(Runtime& runtime, Value* arguments);
// The same for the values of the arguments in hand, of integers or strings only.
Value* fast_plus(Runtime& runtime, Value* const* values, size_t count);

}  // namespace brevalon

// The last list counted: its tails are counted from it without a walk, until a collection.
#include <gtest/gtest.h>

#include "eval/fast/counted_lists.h"
#include "../../support/test_runtime.h"

namespace brevalon {
namespace {

using testing_support::heap;
using testing_support::integer;
using testing_support::list;
using testing_support::runtime;

TEST(CountedLists, TailsOfTheLastListCountedAreCountedFromItUntilACollection) {
  Value* numbers = list({integer(1), integer(2), integer(3)});
  heap().push_root(numbers);
  EXPECT_EQ(count_cells(runtime(), numbers), 3);
  // The list's end made improper behind the count's back (no program can): a walk would see it.
  Value* last = cdr(cdr(numbers));
  as<Cell>(last)->cdr = integer(4);
  EXPECT_EQ(known_cells(runtime(), numbers), 3);
  EXPECT_EQ(count_cells(runtime(), cdr(numbers)), 2);
  EXPECT_EQ(known_cells(runtime(), last), 1);
  // Another list is no tail of the one remembered.
  EXPECT_EQ(known_cells(runtime(), list({integer(5)})), -1);
  // A collection may free the list remembered and make another where it was: it is forgotten.
  heap().collect();
  EXPECT_EQ(known_cells(runtime(), last), -1);
  EXPECT_EQ(count_cells(runtime(), numbers), -1);
  as<Cell>(last)->cdr = heap().constants.nil;
  EXPECT_EQ(count_cells(runtime(), numbers), 3);
  heap().pop_root(numbers);
}

TEST(CountedLists, AListThatEndsInAnythingButNilHasNoCount) {
  EXPECT_EQ(count_cells(runtime(), heap().make<Cell>(integer(1), integer(2))), -1);
  EXPECT_EQ(count_cells(runtime(), integer(2)), -1);
  EXPECT_EQ(count_cells(runtime(), heap().constants.nil), 0);
}

}  // namespace
}  // namespace brevalon

// Unit tests of the start-up image made permanent: kept without a root, never marked again, yet
// what a program puts into it afterwards lives as long as it is held there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "held_roots.h"
#include "memory/heap.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/list.h"
#include "values/scalars.h"

namespace brevalon {
namespace {

// Enough short-lived values to pass the collection threshold a few times over, collected at the end.
void churn(Heap& heap) {
  for (int i = 0; i < 200000; ++i) heap.make<Cell>(heap.make<Integer>(i), heap.constants.nil);
  heap.collect();
}

std::string text_of(Value* value) { return as<String>(value)->text; }

TEST(PermanentImage, ItsValuesOutliveEveryRootAndKeepTheirSlots) {
  Heap heap;
  Value* list = heap.make<Cell>(heap.make<String>("image"), heap.make<Cell>(heap.make<Integer>(2), heap.constants.nil));
  for (int i = 0; i < 1000; ++i) heap.make<Integer>(i);
  size_t image = heap.object_count();
  // Whether anything held them or not.
  heap.make_image_permanent();
  churn(heap);
  EXPECT_EQ(heap.object_count(), image);
  EXPECT_EQ(text_of(car(list)), "image");
  EXPECT_EQ(as<Integer>(car(cdr(list)))->value, 2);
  // Values made afterwards take new slots, and the image's stay as they are.
  for (int i = 0; i < 1000; ++i) heap.make<Cell>(heap.constants.nil, heap.constants.nil);
  EXPECT_EQ(text_of(car(list)), "image");
}

TEST(PermanentImage, WhatAScopeOfTheImageIsGivenAfterwardsIsKept) {
  Heap heap;
  Environment* scope = make_environment(heap, nullptr);
  const Name* early = heap.names.intern("early");
  scope->set_named(early, heap.make<String>("from start-up"));
  heap.make_image_permanent();
  // Bound after the image is fixed, to values only the scope holds: enough to move the scope's
  // bindings out of its slot.
  std::vector<const Name*> names;
  for (int i = 0; i < 40; ++i) {
    names.push_back(heap.names.intern("late-" + std::to_string(i)));
    scope->set_named(names.back(), make_list(heap, {heap.make<String>("value " + std::to_string(i))}));
  }
  scope->set_named(early, heap.make<String>("rebound"));
  churn(heap);
  churn(heap);
  EXPECT_EQ(text_of(scope->lookup_named(early)), "rebound");
  for (int i = 0; i < 40; ++i) {
    Value* value = scope->lookup_named(names[i]);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(text_of(car(value)), "value " + std::to_string(i));
    // The names the scope holds are the table's: interning the text again finds them.
    EXPECT_EQ(heap.names.intern("late-" + std::to_string(i)), names[i]);
  }
}

// Collections pass by a scope or a table of the image while it is as the image left it; one given
// new values after some collections have passed it by is marked through from then on.
TEST(PermanentImage, AScopeOrTableOfTheImageChangedOnlyLaterKeepsWhatItIsGiven) {
  Heap heap;
  Environment* scope = make_environment(heap, nullptr);
  auto* table = heap.make<Hashtable>();
  table->set_key("early", heap.make<String>("from start-up"));
  heap.make_image_permanent();
  churn(heap);
  const Name* late = heap.names.intern("late");
  scope->set_named(late, make_list(heap, {heap.make<String>("bound late")}));
  table->set_key("late", make_list(heap, {heap.make<String>("set late")}));
  churn(heap);
  churn(heap);
  EXPECT_EQ(text_of(car(scope->lookup_named(late))), "bound late");
  EXPECT_EQ(text_of(car(table->get("late"))), "set late");
  EXPECT_EQ(text_of(table->get("early")), "from start-up");
  EXPECT_EQ(heap.names.intern("late"), late);
}

TEST(PermanentImage, ADocGivenToAValueOfTheImageAfterwardsIsKept) {
  Heap heap;
  Value* number = heap.make<Integer>(7);
  Value* cell = heap.make<Cell>(heap.constants.nil, heap.constants.nil);
  Value* unique = heap.make<Unique>("marker");
  heap.make_image_permanent();
  heap.set_doc(number, heap.make<String>("a documented number"));
  heap.set_metadata(cell, make_list(heap, {heap.make<String>("metadata"), heap.make<Integer>(3)}));
  heap.set_doc(unique, heap.make<String>("a unique constant"));
  churn(heap);
  churn(heap);
  EXPECT_EQ(text_of(heap.doc_of(number)), "a documented number");
  EXPECT_EQ(text_of(car(heap.metadata_of(cell))), "metadata");
  EXPECT_EQ(text_of(heap.doc_of(unique)), "a unique constant");
}

TEST(PermanentImage, ItsNamesAreKeptWhileLaterOnesComeAndGo) {
  Heap heap;
  const Name* early = heap.names.intern("held-by-a-symbol-of-the-image");
  heap.make<NamedSymbol>(early);
  heap.make_image_permanent();
  size_t names = heap.names.size();
  heap.make<NamedSymbol>(heap.names.intern("held-by-nothing-soon"));
  EXPECT_EQ(heap.names.size(), names + 1);
  churn(heap);
  EXPECT_EQ(heap.names.size(), names);
  EXPECT_EQ(heap.names.intern("held-by-a-symbol-of-the-image"), early);
}

TEST(PermanentImage, LaterValuesAreCollectedAsBeforeAndLiveBytesCountTheImage) {
  Heap heap;
  Held held(heap);
  for (int i = 0; i < 5000; ++i) heap.make<Integer>(i);
  heap.make_image_permanent();
  size_t image_bytes = heap.live_bytes();
  size_t image = heap.object_count();
  held.values.push_back(make_list(heap, {heap.make<Integer>(1), heap.make<String>("kept")}));
  churn(heap);
  EXPECT_EQ(heap.object_count(), image + 4);
  EXPECT_GE(heap.live_bytes(), image_bytes);
  EXPECT_LT(heap.live_bytes(), image_bytes + 4096);
  EXPECT_EQ(text_of(car(cdr(held.values[0]))), "kept");
}

}  // namespace
}  // namespace brevalon

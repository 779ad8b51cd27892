// Unit tests of the heap's doc table: a doc lives exactly as long as its value, and never passes on.
#include "memory/doc_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "../support/test_runtime.h"
#include "memory/heap.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/list.h"
#include "values/scalars.h"

namespace brevalon {
namespace {

using testing_support::heap;
using testing_support::integer;
using testing_support::list;
using testing_support::Rooted;
using testing_support::string;
using testing_support::symbol;

using testing_support::settled_count;

struct DocumentedCase {
  const char* what;
  // Makes a value and returns it with the number of objects made for it.
  std::function<std::pair<Value*, size_t>()> make;
};

TEST(DocTable, ADocAndMetadataLiveExactlyAsLongAsTheirValue) {
  const DocumentedCase cases[] = {
      {"an integer", [] { return std::pair<Value*, size_t>{integer(1), 1}; }},
      {"a float", [] { return std::pair<Value*, size_t>{heap().make<Floating>(2.5), 1}; }},
      {"a string", [] { return std::pair<Value*, size_t>{string("text"), 1}; }},
      {"a cell", [] { return std::pair<Value*, size_t>{list({integer(1)}), 2}; }},
      {"a symbol", [] { return std::pair<Value*, size_t>{symbol("documented"), 1}; }},
      {"a dictionary", [] { return std::pair<Value*, size_t>{heap().make<Hashtable>(), 1}; }},
      {"an environment", [] { return std::pair<Value*, size_t>{make_environment(heap(), nullptr), 1}; }},
  };
  for (const auto& c : cases) {
    size_t before = settled_count();
    size_t entries = heap().doc_table_size();
    auto [value, made] = c.make();
    Value* doc = string("its doc");
    Value* metadata = list({integer(7), integer(8)});
    heap().set_doc(value, doc);
    heap().set_metadata(value, metadata);
    {
      Rooted rooted(value);
      EXPECT_EQ(settled_count(), before + made + 1 + 4) << c.what;
      EXPECT_EQ(heap().doc_of(value), doc) << c.what;
      EXPECT_EQ(heap().metadata_of(value), metadata) << c.what;
      EXPECT_EQ(as<String>(doc)->text, "its doc") << c.what;
      EXPECT_EQ(as<Integer>(car(cdr(metadata)))->value, 8) << c.what;
    }
    EXPECT_EQ(settled_count(), before) << c.what;
    EXPECT_EQ(heap().doc_table_size(), entries) << c.what;
  }
}

TEST(DocTable, AValueInTheSlotOfADeadDocumentedValueHasNoDocOrMetadata) {
  heap().collect();
  size_t entries = heap().doc_table_size();
  std::set<Value*> dead;
  for (int i = 0; i < 1000; ++i) {
    Value* value = integer(i);
    heap().set_doc(value, integer(-i));
    heap().set_metadata(value, integer(-i));
    dead.insert(value);
  }
  heap().collect();
  EXPECT_EQ(heap().doc_table_size(), entries);
  size_t reused = 0;
  for (int i = 0; i < 2000; ++i) {
    Value* value = integer(i);
    reused += dead.count(value);
    // Giving it metadata makes it look its entry up, where a dead value's doc would show.
    heap().set_metadata(value, value);
    EXPECT_EQ(heap().doc_of(value), nullptr);
  }
  EXPECT_GT(reused, 0u) << "no slot of a dead value was taken again, so nothing was tested";
}

TEST(DocTable, NilAndTheTypesKeepTheirDocsThroughCollections) {
  Value* const constants[] = {heap().constants.nil, heap().constants.true_value, heap().constants.types.integer};
  for (Value* constant : constants) {
    heap().set_doc(constant, string("a constant's doc"));
    heap().set_metadata(constant, list({string("a"), string("b")}));
  }
  heap().collect();
  heap().collect();
  for (Value* constant : constants) {
    ASSERT_NE(heap().doc_of(constant), nullptr);
    EXPECT_EQ(as<String>(heap().doc_of(constant))->text, "a constant's doc");
    EXPECT_EQ(as<String>(car(cdr(heap().metadata_of(constant))))->text, "b");
    heap().set_doc(constant, nullptr);
    heap().set_metadata(constant, nullptr);
  }
}

TEST(DocTable, AMillionLongChainOfDocsOfDocsIsMarkedWithoutCrashing) {
  size_t before = settled_count();
  Value* head = integer(0);
  Value* link = head;
  for (int i = 1; i < 1'000'000; ++i) {
    Value* next = integer(i);
    heap().set_doc(link, next);
    link = next;
  }
  {
    Rooted rooted(head);
    EXPECT_EQ(settled_count(), before + 1'000'000);
  }
  EXPECT_EQ(settled_count(), before);
}

}  // namespace
}  // namespace brevalon

// Unit tests of dictionaries: entry order on replacement, key texts, and large tables.
#include "values/dictionary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/test_runtime.h"

namespace brevalon {
namespace {

using testing_support::heap;
using testing_support::integer;

std::vector<std::string> keys(const Hashtable* table) {
  std::vector<std::string> result;
  for (auto& entry : table->entries()) result.push_back(entry.first);
  return result;
}

std::string numbered_key(std::string prefix, int number) {
  prefix += std::to_string(number);
  return prefix;
}

int64_t value_of(Value* value) {
  EXPECT_TRUE(value && value->kind == Kind::Integer);
  return value && value->kind == Kind::Integer ? as<Integer>(value)->value : -1;
}

TEST(Dictionary, ANewDictionaryIsEmpty) {
  auto* table = heap().make<Hashtable>();
  EXPECT_EQ(table->size(), 0u);
  EXPECT_EQ(table->get("a"), nullptr);
}

TEST(Dictionary, ReplacingAValueKeepsTheEntrysPosition) {
  for (int extra : {0, 20}) {  // with and without the index that large tables build
    auto* table = heap().make<Hashtable>();
    table->set_key("b", integer(1));
    table->set_key("a", integer(2));
    for (int i = 0; i < extra; ++i) table->set_key(numbered_key("k", i), integer(i));
    table->set_key("b", integer(3));
    EXPECT_EQ(table->size(), size_t(extra) + 2);
    EXPECT_EQ(keys(table)[0], "b");
    EXPECT_EQ(keys(table)[1], "a");
    EXPECT_EQ(value_of(table->get("b")), 3);
    EXPECT_EQ(value_of(table->get("a")), 2);
  }
}

TEST(Dictionary, KeysAreWholeByteStrings) {
  auto* table = heap().make<Hashtable>();
  table->set_key("", integer(1));
  table->set_key(std::string_view("a\0b", 3), integer(2));
  table->set_key("a", integer(3));
  table->set_key("A", integer(4));
  EXPECT_EQ(table->size(), 4u);
  EXPECT_EQ(value_of(table->get("")), 1);
  EXPECT_EQ(value_of(table->get(std::string_view("a\0b", 3))), 2);
  EXPECT_EQ(value_of(table->get("a")), 3);
  EXPECT_EQ(table->get(std::string_view("a\0", 2)), nullptr);
}

TEST(Dictionary, AThousandKeysAreAllFoundInInsertionOrder) {
  constexpr int count = 1000;
  auto* table = heap().make<Hashtable>();
  for (int i = count - 1; i >= 0; --i) table->set_key(numbered_key("key-", i), integer(i));
  for (int i = 0; i < count; i += 3) table->set_key(numbered_key("key-", i), integer(-i));
  ASSERT_EQ(table->size(), size_t(count));
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(table->entries()[i].first, numbered_key("key-", count - 1 - i));
    EXPECT_EQ(value_of(table->get(numbered_key("key-", i))), i % 3 == 0 ? -i : i);
  }
  EXPECT_EQ(table->get("key-1000"), nullptr);
}

}  // namespace
}  // namespace brevalon

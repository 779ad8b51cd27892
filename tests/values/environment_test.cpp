// Unit tests of environments: binding order, removal, symbol kinds, lookup through parents, size.
#include "values/environment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/test_runtime.h"

namespace brevalon {
namespace {

using testing_support::generated;
using testing_support::heap;
using testing_support::integer;
using testing_support::symbol;

std::vector<std::string> binding_order(Environment* env) {
  std::vector<std::string> names;
  for (size_t i = 0; i < env->named_count(); ++i) names.push_back(env->named_at(i).name->text);
  return names;
}

int64_t value_of(Value* value) {
  EXPECT_TRUE(value && value->kind == Kind::Integer);
  return value && value->kind == Kind::Integer ? as<Integer>(value)->value : -1;
}

TEST(Environment, ANewScopeBindsCurrentScopeThenParentScope) {
  Environment* root = make_environment(heap(), nullptr);
  Environment* child = make_environment(heap(), root);
  EXPECT_EQ(binding_order(child), (std::vector<std::string>{"current-scope", "parent-scope"}));
  EXPECT_EQ(child->lookup(symbol("current-scope")), child);
  EXPECT_EQ(child->lookup(symbol("parent-scope")), root);
  EXPECT_FALSE(child->has_symbol(generated(0)));
}

TEST(Environment, ARootsParentScopeExistsButHoldsNoValue) {
  Environment* root = make_environment(heap(), nullptr);
  EXPECT_TRUE(root->has_symbol(symbol("parent-scope")));
  EXPECT_EQ(root->lookup(symbol("parent-scope")), nullptr);
}

TEST(Environment, RebindingKeepsTheOrderOfFirstDefinition) {
  for (int extra : {0, 30}) {  // with and without the hash index that large scopes build
    Environment* env = make_environment(heap(), nullptr);
    for (int i = 0; i < extra; ++i) env->bind(symbol("filler" + std::to_string(i)), integer(i));
    env->bind(symbol("b"), integer(1));
    env->bind(symbol("a"), integer(2));
    env->bind(symbol("b"), integer(3));
    std::vector<std::string> order = binding_order(env);
    ASSERT_EQ(order.size(), size_t(extra) + 4);
    EXPECT_EQ(order[extra + 2], "b");
    EXPECT_EQ(order[extra + 3], "a");
    EXPECT_EQ(value_of(env->lookup(symbol("b"))), 3);
    EXPECT_EQ(value_of(env->lookup(symbol("a"))), 2);
  }
}

TEST(Environment, RemovingABindingKeepsTheOthersInOrder) {
  for (int extra : {0, 30}) {
    Environment* env = make_environment(heap(), nullptr);
    for (const char* name : {"a", "b", "c"}) env->bind(symbol(name), integer(name[0]));
    for (int i = 0; i < extra; ++i) env->bind(symbol("filler" + std::to_string(i)), integer(i));
    EXPECT_TRUE(env->remove(symbol("b")));
    EXPECT_FALSE(env->remove(symbol("b")));
    EXPECT_FALSE(env->has_symbol(symbol("b")));
    EXPECT_EQ(env->lookup(symbol("b")), nullptr);
    std::vector<std::string> order = binding_order(env);
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 4),
              (std::vector<std::string>{"current-scope", "parent-scope", "a", "c"}));
    EXPECT_EQ(value_of(env->lookup(symbol("c"))), 'c');
    for (int i = 0; i < extra; ++i) EXPECT_EQ(value_of(env->lookup(symbol("filler" + std::to_string(i)))), i);
    env->bind(symbol("b"), integer(9));  // comes back at the end
    EXPECT_EQ(binding_order(env).back(), "b");
  }
}

TEST(Environment, RemovingAGeneratedSymbolLeavesTheNamedOneAlone) {
  Environment* env = make_environment(heap(), nullptr);
  env->bind(generated(5), integer(1));
  env->bind(symbol("5"), integer(2));
  EXPECT_TRUE(env->remove(generated(5)));
  EXPECT_FALSE(env->has_symbol(generated(5)));
  EXPECT_EQ(value_of(env->lookup(symbol("5"))), 2);
}

TEST(Environment, GeneratedAndNamedSymbolsNeverShareABinding) {
  Environment* env = make_environment(heap(), nullptr);
  env->bind(generated(5), integer(1));
  for (const char* look_alike : {"5", "<symbol #5>"}) {
    EXPECT_FALSE(env->has_symbol(symbol(look_alike))) << look_alike;
    EXPECT_EQ(env->lookup(symbol(look_alike)), nullptr) << look_alike;
  }
  env->bind(symbol("<symbol #5>"), integer(2));
  EXPECT_EQ(value_of(env->lookup(generated(5))), 1);
  EXPECT_EQ(value_of(env->lookup(symbol("<symbol #5>"))), 2);
  EXPECT_EQ(env->lookup(generated(6)), nullptr);
}

TEST(Environment, SymbolsWithTheSameNameAreOneBinding) {
  Environment* env = make_environment(heap(), nullptr);
  env->bind(symbol("x"), integer(1));
  env->bind(symbol("x"), integer(2));
  env->bind(generated(3), integer(3));
  env->bind(generated(3), integer(4));
  EXPECT_EQ(value_of(env->lookup(symbol("x"))), 2);
  EXPECT_EQ(value_of(env->lookup(generated(3))), 4);
  // One removal each leaves nothing behind that a second binding could still answer with.
  EXPECT_TRUE(env->remove(symbol("x")));
  EXPECT_TRUE(env->remove(generated(3)));
  EXPECT_FALSE(env->has_symbol(symbol("x")));
  EXPECT_FALSE(env->has_symbol(generated(3)));
}

TEST(Environment, LookupWalksTheParentsAndHasSymbolDoesNot) {
  Environment* root = make_environment(heap(), nullptr);
  Environment* middle = make_environment(heap(), root);
  Environment* leaf = make_environment(heap(), middle);
  root->bind(symbol("x"), integer(1));
  root->bind(generated(40), integer(10));
  middle->bind(symbol("x"), integer(2));
  EXPECT_EQ(value_of(leaf->lookup(symbol("x"))), 2);  // the nearest binding wins
  EXPECT_EQ(value_of(root->lookup(symbol("x"))), 1);
  EXPECT_EQ(value_of(leaf->lookup(generated(40))), 10);
  EXPECT_FALSE(leaf->has_symbol(symbol("x")));
  EXPECT_TRUE(middle->has_symbol(symbol("x")));
  EXPECT_EQ(leaf->lookup(symbol("nowhere")), nullptr);
}

TEST(Environment, ABindingHoldingNoValueHidesTheParentsBinding) {
  Environment* root = make_environment(heap(), nullptr);
  Environment* child = make_environment(heap(), root);
  root->bind(symbol("x"), integer(1));
  child->bind(symbol("x"), nullptr);
  EXPECT_TRUE(child->has_symbol(symbol("x")));
  EXPECT_EQ(child->lookup(symbol("x")), nullptr);
  child->bind(generated(8), nullptr);
  root->bind(generated(8), integer(2));
  EXPECT_EQ(child->lookup(generated(8)), nullptr);
}

TEST(Environment, OverwritingParentScopeDoesNotChangeLookup) {
  Environment* root = make_environment(heap(), nullptr);
  Environment* other = make_environment(heap(), nullptr);
  Environment* child = make_environment(heap(), root);
  root->bind(symbol("x"), integer(1));
  other->bind(symbol("x"), integer(2));
  child->bind(symbol("parent-scope"), other);
  EXPECT_EQ(value_of(child->lookup(symbol("x"))), 1);
  EXPECT_EQ(child->lookup(symbol("parent-scope")), other);
}

TEST(Environment, AThousandNamesAreAllFoundInOrder) {
  constexpr int count = 1000;
  Environment* env = make_environment(heap(), nullptr);
  Environment* child = make_environment(heap(), env);
  for (int i = 0; i < count; ++i) env->bind(symbol("name-" + std::to_string(i)), integer(i));
  for (int i = 0; i < count; i += 7) env->bind(symbol("name-" + std::to_string(i)), integer(-i));
  for (int i = 0; i < count; ++i) env->bind(generated(i), integer(i * 2));
  ASSERT_EQ(env->named_count(), size_t(count) + 2);
  for (int i = 0; i < count; ++i) {
    std::string name = "name-" + std::to_string(i);
    EXPECT_EQ(env->named_at(i + 2).name->text, name);
    EXPECT_EQ(value_of(child->lookup(symbol(name))), i % 7 == 0 ? -i : i) << name;
    EXPECT_EQ(value_of(child->lookup(generated(i))), i * 2) << i;
  }
  for (int i = 0; i < count; i += 2) ASSERT_TRUE(env->remove(symbol("name-" + std::to_string(i))));
  for (int i = 0; i < count; ++i) {
    Value* found = child->lookup(symbol("name-" + std::to_string(i)));
    if (i % 2 == 0) EXPECT_EQ(found, nullptr) << i;
    else EXPECT_EQ(value_of(found), i % 7 == 0 ? -i : i) << i;
  }
}

}  // namespace
}  // namespace brevalon

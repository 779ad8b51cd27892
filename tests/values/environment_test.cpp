// Unit tests of environments: binding order, removal, symbol kinds, lookup through parents, size,
// scopes that outgrow their slot.
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
using testing_support::Rooted;
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

// A scope outgrows its slot through either way of binding a name, past the inline room or far
// enough to be indexed; numbered bindings live beside the named ones either way.
TEST(Environment, AScopeThatGrewKeepsItsNumberedBindingsAndRemovals) {
  struct Case {
    const char* what;
    int names;
    bool bind_new;
  };
  for (const Case& c : {Case{"a few names bound anew", 6, true}, Case{"a few names set", 6, false},
                        Case{"many names bound anew", 40, true}, Case{"many names set", 40, false}}) {
    Environment* env = make_environment(heap(), nullptr);
    std::vector<std::string> expected{"current-scope", "parent-scope"};
    for (int i = 0; i < c.names; ++i) {
      std::string name = "grown-" + std::to_string(i);
      const Name* interned = heap().names.intern(name);
      if (c.bind_new) env->bind_new(interned, integer(i));
      else env->set_named(interned, integer(i));
      expected.push_back(name);
    }
    for (int i = 0; i < 5; ++i) env->bind(generated(100 + i), integer(-i));
    EXPECT_EQ(binding_order(env), expected) << c.what;
    EXPECT_TRUE(env->remove(symbol("grown-1"))) << c.what;
    EXPECT_TRUE(env->remove(generated(102))) << c.what;
    EXPECT_FALSE(env->remove(generated(102))) << c.what;
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(binding_order(env), expected) << c.what;
    for (int i = 0; i < c.names; ++i) {
      Value* found = env->lookup(symbol("grown-" + std::to_string(i)));
      if (i == 1) EXPECT_EQ(found, nullptr) << c.what;
      else EXPECT_EQ(value_of(found), i) << c.what << " " << i;
    }
    std::vector<int64_t> numbers;
    for (size_t i = 0; i < env->numbered_count(); ++i) numbers.push_back(env->numbered_at(i).number);
    EXPECT_EQ(numbers, (std::vector<int64_t>{100, 101, 103, 104})) << c.what;
    EXPECT_EQ(value_of(env->lookup(generated(104))), -4) << c.what;
    EXPECT_FALSE(env->has_symbol(generated(102))) << c.what;
    env->set_named(heap().names.intern("grown-0"), integer(77));  // found again, not bound twice
    EXPECT_EQ(value_of(env->lookup(symbol("grown-0"))), 77) << c.what;
    EXPECT_EQ(env->named_count(), expected.size()) << c.what;
  }
}

TEST(Environment, EveryChangeOfAWatchedScopeIsCountedAndVersioned) {
  uint64_t counters[8] = {};
  Environment* env = make_environment(heap(), nullptr);
  const Name* watched = heap().names.intern("watched-by-group-two");
  watched->watch_groups = 1 << 2;
  EXPECT_EQ(env->watch_counter(), nullptr);
  env->watch(counters);
  EXPECT_EQ(env->watch_counter(), counters);
  struct Step {
    const char* what;
    void (*change)(Environment*, const Name*);
    uint64_t group_zero;
    uint64_t group_two;
  };
  const Step steps[] = {
      {"binding it", [](Environment* e, const Name* n) { e->set_named(n, integer(1)); }, 0, 1},
      {"binding it again", [](Environment* e, const Name* n) { e->set_named(n, integer(2)); }, 0, 2},
      {"a numbered binding", [](Environment* e, const Name*) { e->set_numbered(3, integer(3)); }, 1, 2},
      {"removing the numbered one", [](Environment* e, const Name*) { e->remove(generated(3)); }, 2, 2},
      {"removing it", [](Environment* e, const Name* n) { e->remove(heap().make<NamedSymbol>(n)); }, 2, 3},
  };
  for (const Step& step : steps) {
    uint64_t version = env->version;
    step.change(env, watched);
    EXPECT_EQ(env->version, version + 1) << step.what;
    EXPECT_EQ(counters[0], step.group_zero) << step.what;
    EXPECT_EQ(counters[2], step.group_two) << step.what;
  }
  watched->watch_groups = 0;
}

TEST(Environment, AScopeOwnsMemoryOnlyOnceItGrows) {
  Environment* env = make_environment(heap(), nullptr);
  Rooted rooted(env);
  for (int i = 0; i < 4; ++i) env->bind(symbol("fits-" + std::to_string(i)), integer(i));
  EXPECT_EQ(env->footprint(), 0u);
  env->bind(symbol("one-too-many"), integer(5));
  size_t grown = env->footprint();
  EXPECT_GE(grown, 12 * sizeof(Binding));
  env->bind(generated(1), integer(6));
  EXPECT_GT(env->footprint(), grown);
}

std::vector<int64_t> numbers_of(Environment* env) {
  std::vector<int64_t> numbers;
  for (size_t i = 0; i < env->numbered_count(); ++i) numbers.push_back(env->numbered_at(i).number);
  return numbers;
}

// A call's scope takes a slot with room for its parameters and one more. Past that room it grows as
// a scope with the most room does past its own, and never writes into the slot after its own, which
// the next scope made takes.
TEST(Environment, AScopeWithLessRoomKeepsEveryBindingAndLeavesItsNeighbourAlone) {
  auto parameter = [](uint32_t i) {
    std::string name = "p";  // appended to: a literal plus a temporary trips a false warning of GCC 12
    return name += std::to_string(i);
  };
  for (uint32_t room = 0; room <= Environment::parameters_in_slot; ++room) {
    Environment* env = make_environment(heap(), nullptr, room);
    Rooted rooted(env);
    Environment* neighbour = make_environment(heap(), nullptr, room);
    Rooted rooted_neighbour(neighbour);
    neighbour->bind(symbol("n"), integer(99));
    std::vector<std::string> names{"current-scope", "parent-scope"};
    for (uint32_t i = 0; i < room; ++i) {
      names.push_back(parameter(i));
      env->bind_new(heap().names.intern(names.back()), integer(i));
    }
    EXPECT_EQ(env->footprint(), 0u) << room;
    env->set_numbered(7, integer(70));
    env->bind(symbol("late"), integer(100));
    names.push_back("late");
    env->set_numbered(-3, integer(-30));
    heap().collect();
    for (int i = 0; i < 1000; ++i) integer(i);
    EXPECT_GT(env->footprint(), 0u) << room;
    EXPECT_EQ(binding_order(env), names) << room;
    for (uint32_t i = 0; i < room; ++i) EXPECT_EQ(value_of(env->lookup(symbol(parameter(i)))), i) << room;
    EXPECT_EQ(value_of(env->lookup(symbol("late"))), 100) << room;
    EXPECT_EQ(numbers_of(env), (std::vector<int64_t>{7, -3})) << room;
    EXPECT_EQ(value_of(env->lookup(generated(-3))), -30) << room;
    EXPECT_EQ(env->lookup(symbol("current-scope")), env) << room;
    EXPECT_EQ(binding_order(neighbour), (std::vector<std::string>{"current-scope", "parent-scope", "n"})) << room;
    EXPECT_EQ(value_of(neighbour->lookup(symbol("n"))), 99) << room;
    EXPECT_EQ(neighbour->lookup(symbol("current-scope")), neighbour) << room;
  }
}

// A function whose parameters are generated symbols binds them in the slot's spare room, oldest
// first; once the slot has no room for them and the named ones, they move to the side block.
TEST(Environment, NumberedBindingsShareTheSlotUntilTheNamedOnesNeedIt) {
  Environment* env = make_environment(heap(), nullptr);
  Rooted rooted(env);
  env->bind(generated(5), integer(50));
  env->bind(generated(-2), integer(20));
  env->bind(generated(5), integer(55));  // found again, not bound twice
  env->bind(symbol("a"), integer(1));
  env->bind(symbol("b"), integer(2));
  EXPECT_EQ(env->footprint(), 0u);
  heap().collect();  // what the slot's numbered bindings hold is kept
  for (int i = 0; i < 1000; ++i) integer(i);
  EXPECT_EQ(numbers_of(env), (std::vector<int64_t>{5, -2}));
  EXPECT_EQ(value_of(env->lookup(generated(5))), 55);
  EXPECT_EQ(value_of(env->lookup(generated(-2))), 20);
  env->bind(symbol("c"), integer(3));  // the slot is full: the numbered ones move out
  EXPECT_GT(env->footprint(), 0u);
  EXPECT_EQ(numbers_of(env), (std::vector<int64_t>{5, -2}));
  EXPECT_EQ(binding_order(env), (std::vector<std::string>{"current-scope", "parent-scope", "a", "b", "c"}));
  for (const char* name : {"a", "b", "c"}) EXPECT_NE(env->lookup(symbol(name)), nullptr) << name;
  EXPECT_EQ(value_of(env->lookup(generated(-2))), 20);
  env->bind(generated(9), integer(90));
  EXPECT_EQ(numbers_of(env), (std::vector<int64_t>{5, -2, 9}));

  // Five do not fit beside the reserved two: the fifth moves all of them, in order.
  Environment* many = make_environment(heap(), nullptr);
  for (int i = 0; i < 5; ++i) {
    many->bind(generated(i), integer(i));
    EXPECT_EQ(many->footprint() > 0, i == 4) << i;
  }
  EXPECT_EQ(numbers_of(many), (std::vector<int64_t>{0, 1, 2, 3, 4}));
}

TEST(Environment, RemovingANumberedBindingFromTheSlotKeepsTheOthersInOrder) {
  for (int64_t removed : {10, 11, 12}) {
    Environment* env = make_environment(heap(), nullptr);
    for (int64_t number : {10, 11, 12}) env->set_numbered(number, integer(number));
    EXPECT_TRUE(env->remove(generated(removed))) << removed;
    EXPECT_FALSE(env->remove(generated(removed))) << removed;
    EXPECT_FALSE(env->has_symbol(generated(removed))) << removed;
    std::vector<int64_t> expected{10, 11, 12};
    std::erase(expected, removed);
    EXPECT_EQ(numbers_of(env), expected) << removed;
    for (int64_t number : expected) EXPECT_EQ(value_of(env->lookup(generated(number))), number) << removed;
    // The room it left is the named ones' again: two names fit beside the two numbered ones.
    for (const char* name : {"x", "y"}) env->bind(symbol(name), integer(1));
    EXPECT_EQ(env->footprint(), 0u) << removed;
    env->set_numbered(removed, integer(-1));
    expected.push_back(removed);
    EXPECT_EQ(numbers_of(env), expected) << removed;
  }
}

// Under the address sanitizer a side block the sweep forgot to free is reported as a leak once the
// dead scopes' slots are taken by new scopes.
TEST(Environment, ScopesThatGrewThenDiedAreReclaimedWithTheirSideBlocks) {
  constexpr int count = 200;
  heap().collect();
  size_t before = heap().object_count();
  for (int i = 0; i < count; ++i) {
    Environment* env = make_environment(heap(), nullptr);
    for (int j = 0; j < 20; ++j) env->set_named(heap().names.intern("dies-" + std::to_string(j)), nullptr);
    env->set_numbered(i, nullptr);
    if (i % 2) env->watch(nullptr);
  }
  heap().collect();
  EXPECT_EQ(heap().object_count(), before);
  for (int i = 0; i < count; ++i) make_environment(heap(), nullptr);
  heap().collect();
  EXPECT_EQ(heap().object_count(), before);
}

TEST(Environment, SetExistingWritesTheInnermostScopeThatBindsTheSymbolAndOnlyThatOne) {
  for (int extra : {0, 30}) {  // the outer scope searched, then indexed
    Environment* outer = make_environment(heap(), nullptr);
    for (int i = 0; i < extra; ++i) outer->bind(symbol("filler" + std::to_string(i)), integer(i));
    outer->bind(symbol("x"), integer(1));
    outer->bind(generated(7), integer(2));
    Environment* middle = make_environment(heap(), outer);
    middle->bind(symbol("x"), integer(3));
    Environment* inner = make_environment(heap(), middle);
    uint64_t outer_version = outer->version, middle_version = middle->version, inner_version = inner->version;

    EXPECT_TRUE(inner->set_existing(symbol("x"), integer(4)));
    EXPECT_EQ(value_of(middle->lookup(symbol("x"))), 4);
    EXPECT_EQ(value_of(outer->lookup(symbol("x"))), 1);
    EXPECT_EQ(middle->version, middle_version + 1);
    EXPECT_EQ(outer->version, outer_version);
    EXPECT_EQ(inner->version, inner_version);

    EXPECT_TRUE(inner->set_existing(generated(7), integer(5)));
    EXPECT_EQ(value_of(inner->lookup(generated(7))), 5);
    EXPECT_TRUE(inner->set_existing(symbol("parent-scope"), integer(6)));
    EXPECT_EQ(value_of(inner->lookup(symbol("parent-scope"))), 6);

    EXPECT_FALSE(inner->set_existing(symbol("unbound"), integer(7)));
    EXPECT_FALSE(inner->set_existing(generated(8), integer(7)));
    EXPECT_FALSE(inner->has_symbol(symbol("unbound")));
    EXPECT_EQ(outer->version, outer_version + 1);
  }
}

TEST(Environment, ANameBoundOnlyInTheRootIsFoundThereUntilAnotherScopeBindsIt) {
  for (int extra : {0, 30}) {  // the root searched, then indexed
    std::string suffix = std::to_string(extra);
    Environment* root = make_environment(heap(), nullptr);
    for (int i = 0; i < extra; ++i) root->bind(symbol("root-filler" + std::to_string(i)), integer(i));
    Environment* middle = make_environment(heap(), root);
    Environment* leaf = make_environment(heap(), middle);
    Value* global = symbol("only-global" + suffix);
    EXPECT_EQ(leaf->lookup(global, root), nullptr);
    root->bind(global, integer(1));
    EXPECT_EQ(value_of(leaf->lookup(global, root)), 1);

    middle->bind(global, integer(2));
    EXPECT_EQ(value_of(leaf->lookup(global, root)), 2);
    EXPECT_EQ(value_of(root->lookup(global, root)), 1);
    middle->remove(global);
    EXPECT_EQ(value_of(leaf->lookup(global, root)), 1);

    // A function's parameter, bound without a search, counts as much.
    Value* parameter = symbol("parameter" + suffix);
    root->bind(parameter, integer(3));
    leaf->bind_new(as<NamedSymbol>(parameter)->name, integer(4));
    EXPECT_EQ(value_of(leaf->lookup(parameter, root)), 4);
    EXPECT_EQ(value_of(middle->lookup(parameter, root)), 3);

    root->remove(global);
    EXPECT_EQ(leaf->lookup(global, root), nullptr);
  }
}

TEST(Environment, WhereANameWasLastFoundNeverFindsAnotherBindingOrAMissingOne) {
  // x found fourth in one scope, then looked for in scopes that hold it elsewhere, hold another
  // name there, are shorter, or lost it to a removal that moved the bindings after it.
  Value* x = symbol("hinted-x");
  Environment* first = make_environment(heap(), nullptr);
  first->bind(symbol("hinted-a"), integer(1));
  first->bind(x, integer(10));
  EXPECT_EQ(value_of(first->lookup(x)), 10);

  Environment* elsewhere = make_environment(heap(), nullptr);
  elsewhere->bind(x, integer(20));
  elsewhere->bind(symbol("hinted-a"), integer(2));
  EXPECT_EQ(value_of(elsewhere->lookup(x)), 20);
  EXPECT_EQ(value_of(first->lookup(x)), 10);

  Environment* shorter = make_environment(heap(), nullptr);
  EXPECT_EQ(shorter->lookup(x), nullptr);
  EXPECT_FALSE(shorter->has_symbol(x));

  Environment* other = make_environment(heap(), first);
  other->bind(symbol("hinted-b"), integer(3));
  other->bind(symbol("hinted-c"), integer(4));
  EXPECT_EQ(value_of(other->lookup(x)), 10);  // from the parent, not other's fourth binding

  EXPECT_TRUE(first->remove(symbol("hinted-a")));
  EXPECT_EQ(value_of(first->lookup(x)), 10);
  EXPECT_TRUE(first->set_existing(x, integer(11)));
  EXPECT_EQ(value_of(first->lookup(x)), 11);
  EXPECT_TRUE(first->remove(x));
  EXPECT_EQ(first->lookup(x), nullptr);
  EXPECT_EQ(value_of(elsewhere->lookup(x)), 20);
}

TEST(Environment, AMirroringScopeKeepsItsNamesValuesThroughEveryWrite) {
  // The scope mirrors what it bound before it began to, and every later definition, assignment,
  // growth into an index and removal; a look-up from a scope below reads the same as a walk.
  Environment* root = make_environment(heap(), nullptr);
  Value* early = symbol("mirrored-early");
  Value* late = symbol("mirrored-late");
  root->bind(early, integer(1));
  root->mirror_names();
  Environment* leaf = make_environment(heap(), make_environment(heap(), root));
  EXPECT_EQ(value_of(leaf->lookup(early, root)), 1);
  EXPECT_EQ(leaf->lookup(late, root), nullptr);
  root->bind(late, integer(2));
  EXPECT_EQ(value_of(leaf->lookup(late, root)), 2);
  EXPECT_TRUE(leaf->set_existing(late, integer(3)));
  EXPECT_EQ(value_of(leaf->lookup(late, root)), 3);
  root->bind(early, integer(4));
  for (int i = 0; i < 30; ++i) root->bind(symbol("mirrored-filler" + std::to_string(i)), integer(i));
  EXPECT_EQ(value_of(leaf->lookup(early, root)), 4);
  EXPECT_EQ(value_of(leaf->lookup(symbol("mirrored-filler29"), root)), 29);
  EXPECT_TRUE(root->remove(early));
  EXPECT_EQ(leaf->lookup(early, root), nullptr);
  EXPECT_EQ(value_of(leaf->lookup(late, root)), 3);
  root->bind(early, integer(5));
  EXPECT_EQ(value_of(leaf->lookup(early, root)), 5);
  for (Value* name : {early, late}) EXPECT_EQ(leaf->lookup(name, root), leaf->lookup(name));
}

}  // namespace
}  // namespace brevalon

// Unit tests of the weak name table: names nothing holds are dropped, names something holds stay.
#include "values/names.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "../support/test_runtime.h"
#include "values/class.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/equality.h"

namespace brevalon {
namespace {

using testing_support::heap;
using testing_support::integer;
using testing_support::list;
using testing_support::Rooted;
using testing_support::symbol;

Names& names() { return heap().names; }

// The number of names left once everything unreachable is gone.
size_t settled_names() {
  heap().collect();
  return names().size();
}

// A text no other test interns.
std::string fresh_text(const char* what, int index = 0) {
  return std::string("names-test ") + what + " " + std::to_string(index);
}

TEST(Names, NamesOfDroppedSymbolsAreReclaimedByACollection) {
  size_t before = settled_names();
  for (int i = 0; i < 1000; ++i) list({symbol(fresh_text("dropped", i)), integer(i)});
  EXPECT_EQ(names().size(), before + 1000);
  EXPECT_EQ(settled_names(), before);
}

TEST(Names, ASymbolMadeAgainFromItsTextEqualsOneStillAlive) {
  Rooted alive(symbol(fresh_text("alive")));
  heap().collect();
  heap().collect();
  Value* again = symbol(fresh_text("alive"));
  EXPECT_EQ(as<NamedSymbol>(again)->name, as<NamedSymbol>(alive.get())->name);
  Value* uncomparable = nullptr;
  EXPECT_TRUE(values_equal(alive.get(), again, uncomparable));
}

TEST(Names, ANameMadeAgainAfterItWasDroppedWorksAsANewOne) {
  size_t before = settled_names();
  symbol(fresh_text("remade"));
  EXPECT_EQ(settled_names(), before);
  Rooted first(symbol(fresh_text("remade")));
  Value* second = symbol(fresh_text("remade"));
  EXPECT_EQ(as<NamedSymbol>(second)->name, as<NamedSymbol>(first.get())->name);
  EXPECT_EQ(names().size(), before + 1);
}

struct HolderCase {
  const char* what;
  // Makes a value that holds the name with the given text, and nothing else does.
  std::function<Value*(const std::string& text)> make;
};

Environment* bind_name(Environment* env, const std::string& text, Value* value) {
  env->set_named(names().intern(text), value);
  return env;
}

Class* class_with(const std::string& own, Class* parent = nullptr) {
  auto* cls = heap().make<Class>();
  if (parent) {
    cls->parents.push_back(parent);
    cls->attributes = parent->attributes;
  }
  cls->own_attributes.push_back(names().intern(own));
  cls->attributes.insert(cls->attributes.begin(), cls->own_attributes.back());
  for (size_t i = 0; i < cls->attributes.size(); ++i) cls->slot_index[cls->attributes[i]] = i;
  return cls;
}

TEST(Names, ANameIsKeptWhileASymbolBindingOrClassHoldsIt) {
  const HolderCase cases[] = {
      {"a symbol", [](const std::string& text) { return symbol(text); }},
      {"a symbol deep in a list", [](const std::string& text) { return list({integer(1), list({symbol(text)})}); }},
      {"a symbol in a dictionary",
       [](const std::string& text) {
         auto* table = heap().make<Hashtable>();
         table->set_key("k", symbol(text));
         return table;
       }},
      {"an environment's binding",
       [](const std::string& text) { return bind_name(make_environment(heap(), nullptr), text, integer(1)); }},
      {"an environment's binding without a value",
       [](const std::string& text) { return bind_name(make_environment(heap(), nullptr), text, nullptr); }},
      {"a binding of an environment with an index",
       [](const std::string& text) {
         Environment* env = make_environment(heap(), nullptr);
         for (int i = 0; i < 40; ++i) bind_name(env, fresh_text("index", i), integer(i));
         return bind_name(env, text, integer(2));
       }},
      {"a parent environment's binding",
       [](const std::string& text) {
         return make_environment(heap(), bind_name(make_environment(heap(), nullptr), text, integer(3)));
       }},
      {"a class's own attribute", [](const std::string& text) { return class_with(text); }},
      {"a class's own attribute before the class gathers its attributes",
       [](const std::string& text) {
         auto* cls = heap().make<Class>();
         cls->own_attributes.push_back(names().intern(text));
         return cls;
       }},
      {"an attribute a class inherits",
       [](const std::string& text) { return class_with(fresh_text("child"), class_with(text)); }},
  };
  for (const auto& c : cases) {
    std::string text = fresh_text(c.what);
    size_t before = settled_names();
    {
      Rooted holder(c.make(text));
      size_t held = names().size();
      heap().collect();
      heap().collect();
      // Counted before the text is interned again, which would put back a name dropped by mistake.
      EXPECT_EQ(names().size(), held) << c.what;
    }
    EXPECT_EQ(settled_names(), before) << c.what << ": the name outlived its holder";
  }
}

// The symbol that made a binding is long gone; a symbol read later still finds it.
TEST(Names, ABindingIsFoundThroughASymbolMadeAfterTheFirstWasDropped) {
  std::string text = fresh_text("bound");
  Environment* env = make_environment(heap(), nullptr);
  Rooted holder(env);
  env->bind(symbol(text), integer(7));
  heap().collect();
  Value* later = symbol(text);
  Value* found = env->lookup(later);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(as<Integer>(found)->value, 7);
}

TEST(Names, TheNamesTheInterpreterLooksForAreNeverDropped) {
  settled_names();
  for (const Name* name : {names().current_scope, names().parent_scope, names().dot, names().unquote,
                           names().unquote_splicing, names().quote, names().quasiquote, names().to_string,
                           names().nil})
    EXPECT_EQ(names().intern(name->text), name) << name->text;
}

}  // namespace
}  // namespace brevalon

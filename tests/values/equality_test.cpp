// Unit tests of the comparison behind =: the verdict for every kind, refusals, and deep data.
#include "values/equality.h"

#include <gtest/gtest.h>

#include <functional>

#include "../support/test_runtime.h"
#include "values/class.h"
#include "base/errors.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/function.h"
#include "printer/printer.h"
#include "values/types.h"

namespace brevalon {
namespace {

using testing_support::generated;
using testing_support::heap;
using testing_support::integer;
using testing_support::list;
using testing_support::string;
using testing_support::symbol;

// The verdict of a comparison that must not meet a value without equality.
bool values_equal(Value* a, Value* b) {
  Value* uncomparable = nullptr;
  bool verdict = brevalon::values_equal(a, b, uncomparable);
  EXPECT_EQ(uncomparable, nullptr);
  return verdict;
}

Value* dictionary(const std::vector<std::pair<std::string, Value*>>& entries) {
  auto* table = heap().make<Hashtable>();
  for (auto& [key, value] : entries) table->set_key(key, value);
  return table;
}

Value* identity_function() {
  auto* lisp = heap().make<LispFunc>();
  lisp->parameters = ParameterList(list({symbol("x")}), 1);
  lisp->body = list({symbol("x")});
  lisp->closure = testing_support::runtime().global;
  return heap().make<Function>(mode_function, lisp);
}

// The cases below capture no variables, so values they share live in statics, kept from the collector.
template <typename T>
T* keep(T* value) {
  testing_support::runtime().permanent.push_back(value);
  return value;
}

struct EqualityCase {
  const char* what;
  std::function<std::pair<Value*, Value*>()> make;
  bool equal;
};

TEST(Equality, ComparesByContentStructureOrIdentityByKind) {
  static Value* shared_function = keep(identity_function());
  static Class* first_class = keep(heap().make<Class>());
  static Class* second_class = keep(heap().make<Class>());
  const EqualityCase cases[] = {
      {"equal integers", [] { return std::pair{integer(1), integer(1)}; }, true},
      {"different integers", [] { return std::pair{integer(1), integer(2)}; }, false},
      {"integer and string", [] { return std::pair{integer(1), string("1")}; }, false},
      {"equal strings", [] { return std::pair{string("ab"), string("ab")}; }, true},
      {"string and its prefix", [] { return std::pair{string("ab"), string("abc")}; }, false},
      {"strings differing after a NUL",
       [] { return std::pair{string(std::string("a\0b", 3)), string(std::string("a\0c", 3))}; }, false},
      {"equal nested lists",
       [] {
         return std::pair{list({integer(1), list({integer(2)})}), list({integer(1), list({integer(2)})})};
       },
       true},
      {"list and a longer list",
       [] { return std::pair{list({integer(1), integer(2)}), list({integer(1), integer(2), integer(3)})}; }, false},
      {"longer list and a list",
       [] { return std::pair{list({integer(1), integer(2), integer(3)}), list({integer(1), integer(2)})}; }, false},
      {"equal improper pairs",
       [] { return std::pair{heap().make<Cell>(integer(1), integer(2)), heap().make<Cell>(integer(1), integer(2))}; },
       true},
      {"nil and nil", [] { return std::pair{heap().constants.nil, heap().constants.nil}; }, true},
      {"nil and false", [] { return std::pair{heap().constants.nil, heap().constants.false_value}; }, false},
      {"true and true", [] { return std::pair{heap().constants.true_value, heap().constants.true_value}; }, true},
      {"nil and an empty-looking list", [] { return std::pair{heap().constants.nil, list({heap().constants.nil})}; }, false},
      {"dictionaries filled in different orders",
       [] {
         return std::pair{dictionary({{"a", integer(1)}, {"b", list({integer(2)})}}),
                          dictionary({{"b", list({integer(2)})}, {"a", integer(1)}})};
       },
       true},
      {"dictionaries with a different value",
       [] { return std::pair{dictionary({{"a", integer(1)}}), dictionary({{"a", integer(2)}})}; }, false},
      {"dictionaries with different keys",
       [] { return std::pair{dictionary({{"a", integer(1)}}), dictionary({{"b", integer(1)}})}; }, false},
      {"dictionary and a larger one",
       [] { return std::pair{dictionary({{"a", integer(1)}}), dictionary({{"a", integer(1)}, {"b", integer(1)}})}; },
       false},
      {"empty dictionaries", [] { return std::pair{dictionary({}), dictionary({})}; }, true},
      {"a native and itself", [] { return std::pair{testing_support::global("car"), testing_support::global("car")}; },
       true},
      {"two different natives",
       [] { return std::pair{testing_support::global("car"), testing_support::global("cdr")}; }, false},
      {"a function and its copy in another exec mode",
       [] {
         return std::pair{shared_function,
                          heap().make<Function>(mode_macro, as<Function>(shared_function)->implementation)};
       },
       true},
      {"two separately made functions", [] { return std::pair{identity_function(), identity_function()}; }, false},
      {"equal named symbols", [] { return std::pair{symbol("a"), symbol("a")}; }, true},
      {"different named symbols", [] { return std::pair{symbol("a"), symbol("b")}; }, false},
      {"named symbol and a generated one", [] { return std::pair{symbol("a"), generated(3)}; }, false},
      {"named symbol and a generated one printed alike",
       [] { return std::pair{symbol("<symbol #3>"), generated(3)}; }, false},
      {"a type and itself", [] { return std::pair<Value*, Value*>{heap().constants.types.integer, heap().constants.types.integer}; }, true},
      {"two types", [] { return std::pair<Value*, Value*>{heap().constants.types.integer, heap().constants.types.str}; }, false},
      {"a class and itself", [] { return std::pair<Value*, Value*>{first_class, first_class}; }, true},
      {"two classes", [] { return std::pair<Value*, Value*>{first_class, second_class}; }, false},
      {"instances of different classes",
       [] {
         return std::pair<Value*, Value*>{heap().make<Instance>(first_class, 0, heap().constants.nil), heap().make<Instance>(second_class, 0, heap().constants.nil)};
       },
       false},
      {"environment and an integer",
       [] { return std::pair<Value*, Value*>{make_environment(heap(), nullptr), integer(5)}; }, false},
      {"generated symbol and an integer", [] { return std::pair{generated(1), integer(1)}; }, false},
  };
  for (const auto& c : cases) {
    auto [a, b] = c.make();
    EXPECT_EQ(values_equal(a, b), c.equal) << c.what;
  }
}

struct RefusalCase {
  const char* what;
  std::function<std::pair<Value*, Value*>()> make;
  std::string type;  // as the = native names it
};

TEST(Equality, KindsWithoutAComparisonAreReportedByTheirType) {
  static Class* cls = keep(heap().make<Class>());
  const RefusalCase cases[] = {
      {"generated symbol and a named one", [] { return std::pair{generated(1), symbol("a")}; },
       "<type symbol>"},
      {"two generated symbols", [] { return std::pair{generated(1), generated(1)}; },
       "<type symbol>"},
      {"two environments",
       [] {
         return std::pair<Value*, Value*>{make_environment(heap(), nullptr), make_environment(heap(), nullptr)};
       },
       "<type environment>"},
      {"two floats", [] { return std::pair<Value*, Value*>{heap().make<Floating>(1.0), heap().make<Floating>(1.0)}; },
       "<type float>"},
      {"two instances of one class",
       [] { return std::pair<Value*, Value*>{heap().make<Instance>(cls, 0, heap().constants.nil), heap().make<Instance>(cls, 0, heap().constants.nil)}; },
       "(class nil nil)"},
      {"environments inside equal lists",
       [] {
         Value* env = make_environment(heap(), nullptr);
         return std::pair{list({integer(1), env}), list({integer(1), env})};
       },
       "<type environment>"},
  };
  for (const auto& c : cases) {
    auto [a, b] = c.make();
    Value* uncomparable = nullptr;
    EXPECT_FALSE(brevalon::values_equal(a, b, uncomparable)) << c.what;
    ASSERT_NE(uncomparable, nullptr) << c.what;
    EXPECT_EQ(represent_type_of(uncomparable), c.type) << c.what;
  }
}

TEST(Equality, CarsAreComparedBeforeCdrs) {
  // The first cars differ, so the environments further on are never reached.
  Value* env = make_environment(heap(), nullptr);
  EXPECT_FALSE(values_equal(list({integer(1), env}), list({integer(2), env})));
}

TEST(Equality, AMillionElementListsCompareWithoutDeepening) {
  std::vector<Value*> items(1'000'000, nullptr);
  for (auto& item : items) item = integer(7);
  Value* a = list(items);
  Value* b = list(items);
  EXPECT_TRUE(values_equal(a, b));
  items.back() = integer(8);
  EXPECT_FALSE(values_equal(a, list(items)));
}

// Far deeper than a walk by recursion could go on any machine stack.
constexpr int deep = 1'000'000;

struct Nesting {
  const char* what;
  std::function<Value*(Value*)> wrap;
};

// `inner` nested `depth` levels deep through `wrap`.
Value* nest(int depth, const std::function<Value*(Value*)>& wrap, Value* inner) {
  for (int i = 0; i < depth; ++i) inner = wrap(inner);
  return inner;
}

TEST(Equality, DataNestedAMillionDeepIsComparedDownToTheBottom) {
  static Value* one = keep(integer(1));
  static Value* text = keep(string("x"));
  const Nesting nestings[] = {
      {"list in a list", [](Value* inner) { return list({inner}); }},
      {"list between elements", [](Value* inner) { return list({one, inner, text}); }},
      {"dictionary value", [](Value* inner) { return dictionary({{"k", inner}}); }},
      {"dictionary value before another entry", [](Value* inner) { return dictionary({{"k", inner}, {"z", one}}); }},
  };
  for (const auto& [what, wrap] : nestings) {
    // Each bottom is a one-element list whose car the cases change in place.
    auto* bottom_a = as<Cell>(list({integer(0)}));
    auto* bottom_b = as<Cell>(list({integer(0)}));
    Value* a = nest(deep, wrap, bottom_a);
    Value* b = nest(deep, wrap, bottom_b);
    EXPECT_TRUE(values_equal(a, b)) << what;
    bottom_b->car = integer(1);
    EXPECT_FALSE(values_equal(a, b)) << what;
    bottom_a->car = bottom_b->car = make_environment(heap(), nullptr);
    Value* uncomparable = nullptr;
    EXPECT_FALSE(brevalon::values_equal(a, b, uncomparable)) << what;
    EXPECT_EQ(uncomparable, bottom_a->car) << what;
  }
  heap().collect();
}

}  // namespace
}  // namespace brevalon

// Unit tests of the two text forms: to_string and represent of every kind, blocks, and deep nesting.
#include "printer/printer.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "../support/test_runtime.h"
#include "values/class.h"
#include "base/errors.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/types.h"

namespace brevalon {
namespace {

using testing_support::generated;
using testing_support::heap;
using testing_support::integer;
using testing_support::list;
using testing_support::string;
using testing_support::symbol;

Value* lisp_function(std::vector<std::string> parameters, const char* rest, Value* body, uint8_t mode = 0) {
  auto* lisp = heap().make<LispFunc>();
  std::vector<Value*> symbols;
  for (auto& name : parameters) symbols.push_back(symbol(name));
  lisp->parameters = ParameterList(list(symbols), static_cast<uint32_t>(symbols.size()));
  if (rest) lisp->rest_parameter = symbol(rest);
  lisp->body = body;
  lisp->closure = testing_support::runtime().global;
  return heap().make<Function>(mode, lisp);
}

Value* native_function(const char* name, uint8_t mode) {
  return heap().make<Function>(mode, heap().make<NativeFunc>(name, nullptr));
}

Value* dictionary(const std::vector<std::pair<std::string, Value*>>& entries) {
  auto* table = heap().make<Hashtable>();
  for (auto& [key, value] : entries) table->set_key(key, value);
  return table;
}

Environment* environment(Environment* parent, const std::vector<std::pair<std::string, Value*>>& bindings) {
  Environment* env = make_environment(heap(), parent);
  for (auto& [name, value] : bindings) env->set_named(heap().names.intern(name), value);
  return env;
}

Class* make_class(std::vector<Value*> parents, std::vector<std::string> attributes) {
  auto* cls = heap().make<Class>();
  cls->parents = std::move(parents);
  for (auto& name : attributes) cls->own_attributes.push_back(heap().names.intern(name));
  return cls;
}

struct TextCase {
  const char* what;
  std::function<Value*()> make;
  std::string display;  // to_string
  std::string literal;  // represent
};

TEST(Printer, ScalarsSymbolsAndListsHaveTheirDisplayAndLiteralForms) {
  const TextCase cases[] = {
      {"zero", [] { return integer(0); }, "0", "0"},
      {"negative", [] { return integer(-42); }, "-42", "-42"},
      {"largest integer", [] { return integer(INT64_MAX); }, "9223372036854775807", "9223372036854775807"},
      {"smallest integer", [] { return integer(INT64_MIN); }, "-9223372036854775808", "-9223372036854775808"},
      {"float", [] { return heap().make<Floating>(1.5); }, "1.500000", "1.500000"},
      {"whole float", [] { return heap().make<Floating>(2.0); }, "2.000000", "2.000000"},
      {"negative float", [] { return heap().make<Floating>(-0.25); }, "-0.250000", "-0.250000"},
      {"rounded float", [] { return heap().make<Floating>(0.1234567); }, "0.123457", "0.123457"},
      {"large float", [] { return heap().make<Floating>(1e20); }, "100000000000000000000.000000",
       "100000000000000000000.000000"},
      {"empty string", [] { return string(""); }, "", "\"\""},
      {"string with a quote", [] { return string("a\"b"); }, "a\"b", "\"a\"b\""},
      {"string with a newline and backslash", [] { return string("x\n\\y"); }, "x\n\\y", "\"x\n\\y\""},
      {"named symbol", [] { return symbol("abc"); }, "abc", "abc"},
      {"generated symbol", [] { return generated(130); }, "<symbol #130>", "<symbol #130>"},
      {"nil", [] { return heap().constants.nil; }, "nil", "nil"},
      {"true", [] { return heap().constants.true_value; }, "true", "true"},
      {"false", [] { return heap().constants.false_value; }, "false", "false"},
      {"mixed list", [] { return list({integer(1), string("two"), symbol("three")}); }, "(1 \"two\" three)",
       "(1 \"two\" three)"},
      {"list holding nil", [] { return list({heap().constants.nil}); }, "(nil)", "(nil)"},
      {"nested list", [] { return list({integer(1), list({integer(2), integer(3)})}); }, "(1 (2 3))", "(1 (2 3))"},
      {"list of a string", [] { return list({string("a")}); }, "(\"a\")", "(\"a\")"},
      {"list of a generated symbol", [] { return list({generated(7)}); }, "(<symbol #7>)", "(<symbol #7>)"},
      {"improper pair", [] { return heap().make<Cell>(integer(1), integer(2)); }, "(1 . 2)", "(1 . 2)"},
  };
  for (const auto& c : cases) {
    Value* value = c.make();
    EXPECT_EQ(to_string(value), c.display) << c.what;
    EXPECT_EQ(represent(value), c.literal) << c.what;
  }
}

struct LiteralCase {
  const char* what;
  std::function<Value*()> make;
  std::string literal;
};

TEST(Printer, FunctionsAreWrittenAsTheFormsThatMakeThem) {
  const LiteralCase cases[] = {
      {"one parameter", [] { return lisp_function({"x"}, nullptr, list({list({symbol("+"), symbol("x"), integer(1)})})); },
       "(fn (x) (+ x 1))"},
      {"empty body", [] { return lisp_function({"x"}, nullptr, heap().constants.nil); }, "(fn (x) nil)"},
      {"no parameters", [] { return lisp_function({}, nullptr, list({integer(1)})); }, "(fn () 1)"},
      {"rest parameter only",
       [] { return lisp_function({}, "args", list({list({symbol("sum"), symbol("args")})})); },
       "(fn (. args) (sum args))"},
      {"parameters and a rest parameter", [] { return lisp_function({"a", "b"}, "rest", list({symbol("a")})); },
       "(fn (a b . rest) a)"},
      {"several body forms",
       [] { return lisp_function({"x"}, nullptr, list({list({symbol("print"), symbol("x")}), symbol("x")})); },
       "(fn (x) (print x) x)"},
      {"string in the body", [] { return lisp_function({}, nullptr, list({string("s")})); }, "(fn () \"s\")"},
      {"macro", [] { return lisp_function({"x"}, nullptr, list({symbol("x")}), mode_macro); },
       "(with-exec-mode 'macro (fn (x) x))"},
      {"native", [] { return native_function("car", mode_function); }, "(native-function car)"},
      {"no-eval native", [] { return native_function("if", mode_no_eval); },
       "(with-exec-mode 'no-eval (native-function if))"},
      {"no-expand native", [] { return native_function("quote", mode_no_expand); },
       "(with-exec-mode 'no-expand (native-function quote))"},
      {"resumable native",
       [] { return heap().make<Function>(mode_no_eval, heap().make<ResumableNative>("for", nullptr)); },
       "(with-exec-mode 'no-eval (native-function for))"},
      {"function inside a list", [] { return list({native_function("car", mode_function)}); },
       "((native-function car))"},
  };
  for (const auto& c : cases) EXPECT_EQ(represent(c.make()), c.literal) << c.what;
}

TEST(Printer, BoundNativesShowTheirOwnNames) {
  EXPECT_EQ(represent(testing_support::global("if")), "(with-exec-mode 'no-eval (native-function if))");
  EXPECT_EQ(represent(testing_support::global("quote")), "(with-exec-mode 'no-expand (native-function quote))");
  EXPECT_EQ(represent(testing_support::global("car")), "(native-function car)");
}

TEST(Printer, TypesAndClassesHaveTheirLiteralForms) {
  testing_support::runtime();  // the type objects exist once the runtime does
  const LiteralCase cases[] = {
      {"int type", [] { return heap().constants.types.integer; }, "<type int>"},
      {"type type", [] { return heap().constants.types.type; }, "<type type>"},
      {"resumable native type", [] { return heap().constants.types.resumable_native; }, "<type resumable-native>"},
      {"bare class", [] { return make_class({}, {}); }, "(class nil nil)"},
      {"class with attributes", [] { return make_class({}, {"a", "b"}); }, "(class nil (a b))"},
      {"class with parents",
       [] { return make_class({make_class({}, {"x"}), make_class({}, {})}, {"y"}); },
       "(class ((class nil (x)) (class nil nil)) (y))"},
  };
  for (const auto& c : cases) EXPECT_EQ(represent(c.make()), c.literal) << c.what;
}

TEST(Printer, DictionariesAreIndentedBlocksInEntryOrder) {
  const LiteralCase cases[] = {
      {"empty", [] { return dictionary({}); }, "(dict)"},
      {"two entries", [] { return dictionary({{"a", integer(1)}, {"b", string("x")}}); },
       "(dict\n      a 1\n      b \"x\")"},
      {"nested dictionary",
       [] { return dictionary({{"outer", dictionary({{"k", integer(1)}, {"j", integer(2)}})}, {"z", heap().constants.nil}}); },
       "(dict\n"
       "      outer (dict\n"
       "                 k 1\n"
       "                 j 2)\n"
       "      z nil)"},
      {"empty nested dictionary", [] { return dictionary({{"d", dictionary({})}}); }, "(dict\n      d (dict))"},
      {"multi-line string value", [] { return dictionary({{"key", string("one\ntwo")}}); },
       "(dict\n      key \"one\n         two\")"},
      {"dictionary in a list", [] { return list({dictionary({{"a", integer(1)}})}); }, "((dict\n      a 1))"},
  };
  for (const auto& c : cases) EXPECT_EQ(represent(c.make()), c.literal) << c.what;
}

TEST(Printer, EnvironmentsAreBlocksNestingTheirParents) {
  const LiteralCase cases[] = {
      {"root without bindings", [] { return environment(nullptr, {}); }, "(env ())"},
      {"root with a binding", [] { return environment(nullptr, {{"x", integer(1)}}); }, "(env ()\n     x 1)"},
      {"child of an empty root", [] { return environment(environment(nullptr, {}), {{"y", integer(2)}}); },
       "(env\n     ((env ()))\n     y 2)"},
      {"empty child of an empty root", [] { return environment(environment(nullptr, {}), {}); },
       "(env\n     ((env ())))"},
      {"child of a root with bindings",
       [] { return environment(environment(nullptr, {{"x", integer(1)}, {"w", integer(3)}}), {{"y", integer(2)}}); },
       "(env\n"
       "     ((env ()\n"
       "           x 1\n"
       "           w 3))\n"
       "     y 2)"},
      {"three generations",
       [] {
         return environment(environment(environment(nullptr, {{"a", integer(1)}}), {{"b", integer(2)}}),
                            {{"c", integer(3)}});
       },
       "(env\n"
       "     ((env\n"
       "           ((env ()\n"
       "                 a 1))\n"
       "           b 2))\n"
       "     c 3)"},
      {"dictionary value",
       [] { return environment(nullptr, {{"d", dictionary({{"k", integer(1)}, {"l", integer(2)}})}}); },
       "(env ()\n"
       "     d (dict\n"
       "            k 1\n"
       "            l 2))"},
      {"current-scope bound elsewhere", [] { return environment(nullptr, {{"current-scope", integer(5)}}); },
       "(env ()\n     current-scope 5)"},
      {"parent-scope bound to a value", [] { return environment(nullptr, {{"parent-scope", integer(5)}}); },
       "(env ())"},
      {"generated-symbol bindings after named ones",
       [] {
         Environment* env = environment(nullptr, {{"x", integer(1)}});
         env->set_numbered(9, integer(2));
         env->set_numbered(3, string("s"));
         return env;
       },
       "(env ()\n     x 1\n     <symbol #9> 2\n     <symbol #3> \"s\")"},
  };
  for (const auto& c : cases) EXPECT_EQ(represent(c.make()), c.literal) << c.what;
}

TEST(Printer, CurrentScopeIsLeftOutOnlyWhileItHoldsItsOwnEnvironment) {
  Environment* root = environment(nullptr, {});
  Environment* child = environment(root, {});
  EXPECT_EQ(represent(child), "(env\n     ((env ())))");
  child->set_named(heap().names.intern("current-scope"), root);
  EXPECT_EQ(represent(child), "(env\n     ((env ()))\n     current-scope (env ()))");
}

using Refusal = std::function<Value*()>;

TEST(Printer, ToStringRefusesKindsWithoutADisplayForm) {
  const std::pair<Refusal, std::string> cases[] = {
      {[] { return native_function("car", mode_function); }, "to-string not implemented for type <type function>"},
      {[] { return environment(nullptr, {}); }, "to-string not implemented for type <type environment>"},
      {[] { return dictionary({}); }, "to-string not implemented for type <type dictionary>"},
      {[] { return heap().constants.types.integer; }, "to-string not implemented for type <type type>"},
      {[] { return make_class({}, {}); }, "to-string not implemented for type <type class>"},
  };
  for (const auto& [make, note] : cases) {
    try {
      to_string(make());
      ADD_FAILURE() << "no error for: " << note;
    } catch (const InternalError& error) {
      EXPECT_EQ(error.note, note);
    }
  }
}

TEST(Printer, RepresentRefusesBareImplementationsAndInstances) {
  const Refusal cases[] = {
      [] { return heap().make<NativeFunc>("car", nullptr); },
      [] { return heap().make<ResumableNative>("if", nullptr); },
      [] { return heap().make<LispFunc>(); },
      [] { return heap().make<Instance>(make_class({}, {}), 0, heap().constants.nil); },
      [] { return list({heap().make<Instance>(make_class({}, {"a"}), 1, heap().constants.nil)}); },
  };
  for (const auto& make : cases) EXPECT_THROW(represent(make()), InternalError);
}

// Programs cannot make such a function; the line still comes before the failure.
TEST(Printer, AnUnknownExecModeFailsAfterReportingItOnStandardOutput) {
  Value* odd = native_function("car", 7);
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(represent(odd), InternalError);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "unknown exec mode: 7\n");
}

TEST(Printer, ALongFlatListPrintsWithoutDeepening) {
  testing_support::runtime();  // nil exists once the runtime does
  std::vector<Value*> items(1'000'000, heap().constants.nil);
  Value* value = list(items);
  std::string expected = "(nil";
  for (int i = 1; i < 1'000'000; ++i) expected += " nil";
  EXPECT_EQ(to_string(value), expected + ")");
}

// Far deeper than a printer working by recursion could go on any machine stack.
constexpr int deep = 1'000'000;

std::string repeat(std::string_view piece, int times) {
  std::string text;
  text.reserve(piece.size() * size_t(times));
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// `inner` nested `depth` levels deep through `wrap`.
Value* nest(int depth, const std::function<Value*(Value*)>& wrap, Value* inner) {
  for (int i = 0; i < depth; ++i) inner = wrap(inner);
  return inner;
}

struct DeepCase {
  const char* what;
  int depth;
  std::function<Value*(Value*)> wrap;
  Value* (*bottom)();
  // Each level writes `opening` before what it holds and `closing` after it.
  std::string opening, bottom_text, closing;
  bool displayed;  // whether to_string shows it too, the same way
};

TEST(Printer, NestingAsDeepAsMemoryAllowsPrintsInFull) {
  testing_support::runtime();
  const DeepCase cases[] = {
      {"list in a list", deep, [](Value* inner) { return list({inner}); }, [] { return integer(0); }, "(", "0", ")",
       true},
      {"list between elements", deep, [](Value* inner) { return list({integer(1), inner, string("x")}); },
       [] { return string("s"); }, "(1 ", "\"s\"", " \"x\")", true},
      {"improper pair's cdr", deep, [](Value* inner) { return heap().make<Cell>(list({inner}), integer(2)); },
       [] { return heap().constants.nil; }, "((", "nil", ") . 2)", true},
      {"function in a function's body", deep, [](Value* inner) { return lisp_function({}, nullptr, list({inner})); },
       [] { return integer(0); }, "(fn () ", "0", ")", false},
      {"macro in a macro's body", deep,
       [](Value* inner) { return lisp_function({}, nullptr, list({inner}), mode_macro); }, [] { return heap().constants.nil; },
       "(with-exec-mode 'macro (fn () ", "nil", "))", false},
      {"class with a parent", deep / 10, [](Value* inner) { return make_class({inner}, {}); },
       [] { return static_cast<Value*>(make_class({}, {"a"})); }, "(class (", "(class nil (a))", ") nil)", false},
  };
  for (const auto& c : cases) {
    Value* value = nest(c.depth, c.wrap, c.bottom());
    std::string expected = repeat(c.opening, c.depth) + c.bottom_text + repeat(c.closing, c.depth);
    EXPECT_TRUE(represent(value) == expected) << c.what;
    if (c.displayed) {
      EXPECT_TRUE(to_string(value) == expected) << c.what;
    }
  }
  heap().collect();
}

// Blocks nested in blocks: each level's lines sit further right by the width of the entry that
// holds them (its indent and key), so the text grows with the square of the depth.
struct BlockCase {
  const char* what;
  std::function<Value*(Value*)> wrap;
  Value* innermost;
  std::string first_line;  // the block's own first line
  size_t indent;           // where the first level's entry starts
  size_t step;             // how much further each level's entry starts
  std::string entry;       // what stands before the nested block on its line
  std::string innermost_text;
  std::string closing;  // what each level writes after what it holds
};

TEST(Printer, NestedBlocksIndentEachLevelFurther) {
  testing_support::runtime();
  constexpr int depth = 2'000;
  const BlockCase cases[] = {
      {"dictionary in a dictionary", [](Value* inner) { return dictionary({{"k", inner}}); }, integer(0), "(dict", 6,
       7, "k ", "0", ")"},
      {"environment bound in an environment", [](Value* inner) { return environment(nullptr, {{"v", inner}}); },
       integer(0), "(env ()", 5, 6, "v ", "0", ")"},
      {"environment with a parent",
       [](Value* inner) { return environment(as<Environment>(inner), {}); }, environment(nullptr, {}), "(env", 5, 6,
       "(", "(env ())", "))"},
  };
  for (const auto& c : cases) {
    Value* value = nest(depth, c.wrap, c.innermost);
    std::string expected = c.first_line;
    for (int level = 1; level <= depth; ++level) {
      expected.append(1, '\n').append(c.indent + c.step * size_t(level - 1), ' ').append(c.entry);
      expected.append(level < depth ? c.first_line : c.innermost_text);
    }
    for (int level = 0; level < depth; ++level) expected += c.closing;
    EXPECT_TRUE(represent(value) == expected) << c.what;
  }
  heap().collect();
}

}  // namespace
}  // namespace brevalon

// Two runs side by side in one process: each owns its bindings, names, constants and generated symbols.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "eval/driver.h"
#include "eval/runtime.h"
#include "printer/printer.h"
#include "startup/global_environment.h"

namespace brevalon {
namespace {

// A run built from the prelude's text, as the executable builds one without its image.
struct SeparateRun {
  SeparateRun() { build_global_environment(runtime); }
  std::string evaluate(std::string_view program) { return represent(do_string(runtime, program)); }
  bool binds(std::string_view name) {
    NamedSymbol key(runtime.heap.names.intern(name));
    return runtime.global->lookup(&key) != nullptr;
  }
  Runtime runtime;
};

TEST(Runtimes, ADefinitionInOneRunIsInvisibleToTheOther) {
  SeparateRun first;
  SeparateRun second;
  first.evaluate("(define shared 1) (define only-first 3)");
  second.evaluate("(define shared 2)");
  EXPECT_EQ(first.evaluate("shared"), "1");
  EXPECT_EQ(second.evaluate("shared"), "2");
  EXPECT_TRUE(first.binds("only-first"));
  EXPECT_FALSE(second.binds("only-first"));
}

TEST(Runtimes, EachRunCountsItsOwnGeneratedSymbols) {
  SeparateRun first;
  SeparateRun second;
  std::string first_of_first = first.evaluate("(gensym)");
  first.evaluate("(gensym) (gensym)");
  EXPECT_EQ(second.evaluate("(gensym)"), first_of_first);
  EXPECT_NE(first.evaluate("(gensym)"), first_of_first);
  EXPECT_EQ(first.runtime.num_symbol_generator, second.runtime.num_symbol_generator + 3);
}

TEST(Runtimes, ConstantsAndTypesPrintAlikeButBelongToTheirRun) {
  SeparateRun first;
  SeparateRun second;
  for (const char* program : {"nil", "true", "false", "(get-type 1)", "(get-type \"a\")", "(get-type 'a)",
                              "(get-type nil)", "(get-type (list 1))", "(list 1 (list true) nil)"}) {
    EXPECT_EQ(first.evaluate(program), second.evaluate(program)) << program;
  }
  EXPECT_NE(first.runtime.heap.constants.nil, second.runtime.heap.constants.nil);
  EXPECT_NE(first.runtime.heap.constants.types.integer, second.runtime.heap.constants.types.integer);
  EXPECT_NE(first.runtime.heap.names.intern("nil"), second.runtime.heap.names.intern("nil"));
}

TEST(Runtimes, RebindingPlusInOneRunLeavesTheOthersFastPathOn) {
  SeparateRun first;
  SeparateRun second;
  ASSERT_TRUE(first.runtime.fast_paths.plus_intact());
  first.evaluate("(define + -)");
  EXPECT_FALSE(first.runtime.fast_paths.plus_intact());
  EXPECT_TRUE(second.runtime.fast_paths.plus_intact());
  EXPECT_EQ(first.evaluate("(+ 5 2)"), "3");
  EXPECT_EQ(second.evaluate("(+ 5 2)"), "7");
}

TEST(Runtimes, ACollectionInOneRunKeepsTheOthersValues) {
  SeparateRun first;
  SeparateRun second;
  second.evaluate("(define kept (list 1 \"two\" 'three (list nil true)))");
  std::string before = second.evaluate("kept");
  first.evaluate("(define garbage (list 1 2 3))");
  first.runtime.heap.collect();
  second.runtime.heap.collect();
  EXPECT_EQ(second.evaluate("kept"), before);
  EXPECT_EQ(first.evaluate("garbage"), "(1 2 3)");
}

}  // namespace
}  // namespace brevalon

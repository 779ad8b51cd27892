// Unit tests of source positions: where the reader says each list starts, and what the collector forgets.
#include "reader/source_positions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "../support/test_runtime.h"
#include "base/errors.h"
#include "printer/printer.h"
#include "reader/reader.h"

namespace brevalon {
namespace {

using testing_support::heap;
using testing_support::Rooted;
using testing_support::runtime;

struct ListCase {
  std::string text;
  std::string list;  // the literal form of a list the text holds
  uint32_t line;
  uint32_t column;
};

// Finds the list with the given literal form in a tree read from text, depth first.
Value* find_list(Value* tree, const std::string& wanted) {
  if (tree->kind != Kind::Cell) return nullptr;
  if (represent(tree) == wanted) return tree;
  for (Value* rest = tree; rest->kind == Kind::Cell; rest = cdr(rest))
    if (Value* found = find_list(car(rest), wanted)) return found;
  return nullptr;
}

TEST(SourcePositions, EachListReadFromAFileIsFoundWhereItStarts) {
  const ListCase cases[] = {
      {"(a b)", "(a b)", 1, 1},
      {"  \n\n   (a (b c))", "(b c)", 3, 7},
      {"(define (f x)\n\t(car x))", "(car x)", 2, 2},
      {"; a comment (not a list)\n(x)", "(x)", 2, 1},
      {"(a\n \"a string\nover lines\" (b))", "(b)", 3, 13},
      {"'(q)", "(quote (q))", 1, 1},
      {"'(q)", "(q)", 1, 2},
      {"`(a ,(b))", "(b)", 1, 6},
  };
  for (const ListCase& c : cases) {
    SourceFile source(runtime().positions, "case.lisp");
    auto read = next_expr(heap(), c.text, 0, &source);
    ASSERT_TRUE(read) << c.text;
    Value* list = find_list(read->value, c.list);
    ASSERT_NE(list, nullptr) << c.text;
    const SourcePosition* position = runtime().positions.find(list);
    ASSERT_NE(position, nullptr) << c.text;
    EXPECT_EQ(runtime().positions.file_name(position->file), "case.lisp") << c.text;
    EXPECT_EQ(position->line, c.line) << c.text;
    EXPECT_EQ(position->column, c.column) << c.text;
  }
}

TEST(SourcePositions, ATopLevelNameIsFoundWhereItStands) {
  SourceFile source(runtime().positions, "names.lisp");
  std::string text = "(a)\n  name\r\n";
  auto first = next_expr(heap(), text, 0, &source);
  ASSERT_TRUE(first);
  auto second = next_expr(heap(), text, first->position, &source);
  ASSERT_TRUE(second);
  const SourcePosition* position = runtime().positions.find(second->value);
  ASSERT_NE(position, nullptr);
  EXPECT_EQ(position->line, 2u);
  EXPECT_EQ(position->column, 3u);
}

TEST(SourcePositions, TextReadWithoutAFileRecordsNothing) {
  size_t before = runtime().positions.size();
  auto read = next_expr(heap(), "(a (b) (c (d)))", 0);
  ASSERT_TRUE(read);
  EXPECT_EQ(runtime().positions.find(read->value), nullptr);
  EXPECT_EQ(runtime().positions.size(), before);
}

TEST(SourcePositions, TheCollectorForgetsTheFormsThatDied) {
  SourceFile source(runtime().positions, "gone.lisp");
  auto kept = next_expr(heap(), "(kept (inner))", 0, &source);
  ASSERT_TRUE(kept);
  Rooted root(kept->value);
  size_t with_kept = 0;
  {
    heap().collect();
    with_kept = runtime().positions.size();
  }
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(next_expr(heap(), "(dropped (at once))", 0, &source));
  EXPECT_EQ(runtime().positions.size(), with_kept + 200);
  heap().collect();
  EXPECT_EQ(runtime().positions.size(), with_kept);
  EXPECT_NE(runtime().positions.find(kept->value), nullptr);
  EXPECT_NE(runtime().positions.find(car(cdr(kept->value))), nullptr);
}

struct SyntaxCase {
  std::string text;
  std::string location;  // where the error says the text is at fault
  std::string note_start;
};

TEST(SourcePositions, ASyntaxErrorNamesThePlaceAtFault) {
  const SyntaxCase cases[] = {
      {"(a)\n(define (f x)\n  (g x)", "bad.lisp:2:1", "'(' is never closed"},
      {"(a (b\n  (c)", "bad.lisp:1:4", "'(' is never closed"},
      {"(print \"never\n\nclosed", "bad.lisp:1:8", "unterminated string"},
      {"  (x \"a\\tb\")", "bad.lisp:1:8", "unknown escape \\t"},
      {"\n (+ 12a 1)", "bad.lisp:2:5", "invalid number 12a"},
      {"(a ')", "bad.lisp:1:4", "' is not followed"},
  };
  for (const SyntaxCase& c : cases) {
    SourceFile source(runtime().positions, "bad.lisp");
    std::optional<SyntaxError> raised;
    ::testing::internal::CaptureStdout();
    try {
      for (int64_t position = 0; auto read = next_expr(heap(), c.text, position, &source);) position = read->position;
    } catch (const SyntaxError& error) {
      raised = error;
    }
    ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(raised) << "no syntax error for: " << c.text;
    EXPECT_EQ(raised->location, c.location) << c.text;
    EXPECT_TRUE(raised->note.starts_with(c.note_start)) << c.text << ": " << raised->note;
  }
}

TEST(SourcePositions, AnUnclosedListInsideOthersAlsoNamesTheOutermost) {
  SourceFile source(runtime().positions, "nested.lisp");
  std::optional<SyntaxError> raised;
  ::testing::internal::CaptureStdout();
  try {
    next_expr(heap(), "(define (f x)\n  (if x\n      (g x)\n", 0, &source);
  } catch (const SyntaxError& error) {
    raised = error;
  }
  ::testing::internal::GetCapturedStdout();
  ASSERT_TRUE(raised) << "no syntax error";
  EXPECT_EQ(raised->location, "nested.lisp:2:3");
  EXPECT_NE(raised->note.find("\nthe outermost of the 2 unclosed lists starts at nested.lisp:1:1"), std::string::npos)
      << raised->note;
}

struct StrayCase {
  std::string text;
  bool warned;
  int64_t lines_after;
};

TEST(SourcePositions, AStrayCloseParenthesisCountsTheLinesLeftUnread) {
  const StrayCase cases[] = {
      {")", false, 0},
      {")\n; only a comment\n\n", false, 0},
      {")\n(print 1)\n", true, 1},
      {") (print 1)", true, 1},
      {")\n\n(print 1)\n(print 2)\n\n", true, 2},
  };
  for (const StrayCase& c : cases) {
    auto stray = stray_close_paren(c.text, 0);
    EXPECT_EQ(bool(stray), c.warned) << c.text;
    if (stray && c.warned) {
      EXPECT_EQ(stray->lines_after, c.lines_after) << c.text;
    }
  }
}

}  // namespace
}  // namespace brevalon

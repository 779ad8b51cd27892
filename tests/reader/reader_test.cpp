// Unit tests of the reader: positions, no-match cases, syntax-error lines and nesting limits.
#include "reader/reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "base/errors.h"
#include "printer/printer.h"
#include "../support/test_runtime.h"

namespace brevalon {
namespace {

using testing_support::heap;

std::optional<ReadResult> read_at(std::string_view text, int64_t position = 0) {
  return next_expr(heap(), text, position);
}

// What a syntax error wrote to standard output before it was raised.
std::string syntax_error_output(std::string_view text) {
  ::testing::internal::CaptureStdout();
  bool raised = false;
  try {
    read_at(text);
  } catch (const SyntaxError&) {
    raised = true;
  }
  std::string output = ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(raised) << "no syntax error for: " << text;
  return output;
}

struct PositionCase {
  std::string text;
  int64_t start;
  int64_t end;
  std::string literal;  // the value read, in its literal form
};

TEST(Reader, EveryRecogniserReportsThePositionJustPastWhatItConsumed) {
  const PositionCase cases[] = {
      {"12)", 0, 2, "12"},
      {"  42  ", 0, 4, "42"},
      {"\t7\n", 0, 2, "7"},
      {"007", 0, 3, "7"},
      {"12(", 0, 2, "12"},
      {"\"ab\" x", 0, 4, "\"ab\""},
      {"\"\"", 0, 2, "\"\""},
      {"abc def", 0, 3, "abc"},
      {"abc def", 3, 7, "def"},
      {"ab;c", 0, 2, "ab"},
      {"ab#c", 0, 2, "ab"},
      {"ab(c)", 0, 2, "ab"},
      {"(a b) c", 0, 5, "(a b)"},
      {"()", 0, 2, "nil"},
      {"( )", 0, 3, "nil"},
      {"(\n; inner comment\n)", 0, 19, "nil"},
      {"'x y", 0, 2, "(quote x)"},
      {"' x", 0, 3, "(quote x)"},
      {"'\n# note\nx", 0, 10, "(quote x)"},
      {"`x", 0, 2, "(quasiquote x)"},
      {",x", 0, 2, "(unquote x)"},
      {",@x", 0, 3, "(unquote-splicing x)"},
      {", @x", 0, 4, "(unquote @x)"},
      {"#c\n5", 0, 4, "5"},
      {";c\n;d\n  5", 0, 9, "5"},
  };
  for (const auto& c : cases) {
    auto result = read_at(c.text, c.start);
    ASSERT_TRUE(result) << c.text;
    EXPECT_EQ(result->position, c.end) << c.text;
    EXPECT_EQ(represent(result->value), c.literal) << c.text;
  }
}

TEST(Reader, TextWithoutAnExpressionGivesNoMatchAndWritesNothing) {
  const std::string texts[] = {"", "   ", "\t\n", "# a comment", "; a comment\n", "# one\n; two\n  ", ")", "  )",
                               "; c\n)"};
  for (const auto& text : texts) {
    ::testing::internal::CaptureStdout();
    auto result = read_at(text);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << text;
    EXPECT_FALSE(result) << text;
  }
}

TEST(Reader, PositionsOutsideTheTextGiveNoMatch) {
  const int64_t positions[] = {-1, -2, INT64_MIN, 5, 6, 1000, INT64_MAX};
  for (int64_t position : positions) EXPECT_FALSE(read_at("hello", position)) << position;
}

TEST(Reader, ReadingResumesFromAPositionInsideTheText) {
  auto result = read_at("(a) (b c)", 3);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->position, 9);
  EXPECT_EQ(represent(result->value), "(b c)");
}

struct ValueCase {
  std::string text;
  std::string display;  // to_string of the value read
  Kind kind;
};

TEST(Reader, TokensReadAsTheValuesOfTheirKind) {
  const ValueCase cases[] = {
      {"-", "-", Kind::NamedSymbol},
      {"-5", "-5", Kind::NamedSymbol},
      {"+1", "+1", Kind::NamedSymbol},
      {".", ".", Kind::NamedSymbol},
      {"a,b", "a,b", Kind::NamedSymbol},
      {"don't", "don't", Kind::NamedSymbol},
      {"x\"y", "x\"y", Kind::NamedSymbol},
      {"true", "true", Kind::NamedSymbol},
      {"nil", "nil", Kind::NamedSymbol},
      {"abc\r\n", "abc\r", Kind::NamedSymbol},
      {"\fx", "\fx", Kind::NamedSymbol},
      {"\vx", "\vx", Kind::NamedSymbol},
      {"0", "0", Kind::Integer},
      {"9223372036854775807", "9223372036854775807", Kind::Integer},
      {"9223372036854775808", "-9223372036854775808", Kind::Integer},
      {"18446744073709551615", "-1", Kind::Integer},
      {"18446744073709551616", "0", Kind::Integer},
      {"18446744073709551617", "1", Kind::Integer},
      {"\"a\\\"b\"", "a\"b", Kind::String},
      {"\"x\\n\"", "x\n", Kind::String},
      {"\"a\\\\b\"", "a\\b", Kind::String},
      {"\"line\nnext\"", "line\nnext", Kind::String},
      {"\"a;b#c\"", "a;b#c", Kind::String},
      {"`(a ,b ,@c)", "(quasiquote (a (unquote b) (unquote-splicing c)))", Kind::Cell},
      {"(1 \"two\" three)", "(1 \"two\" three)", Kind::Cell},
      {"(a(b)c)", "(a (b) c)", Kind::Cell},
  };
  for (const auto& c : cases) {
    auto result = read_at(c.text);
    ASSERT_TRUE(result) << c.text;
    EXPECT_EQ(result->value->kind, c.kind) << c.text;
    EXPECT_EQ(to_string(result->value), c.display) << c.text;
  }
}

TEST(Reader, EverySymbolReadIsANewObject) {
  auto first = read_at("a");
  auto second = read_at("a");
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->value, second->value);
}

TEST(Reader, StringEscapesDecodeToSingleBytes) {
  auto result = read_at("\"a\\\"b\"");
  ASSERT_TRUE(result);
  EXPECT_EQ(as<String>(result->value)->text.size(), 3u);
}

struct SyntaxErrorCase {
  std::string text;
  std::string output;
};

TEST(Reader, EachSyntaxErrorWritesItsLineBeforeRaising) {
  const SyntaxErrorCase cases[] = {
      {"(12a)", "Invalid character while reading int literal: a (in 12a))\n"},
      {"1.5", "Invalid character while reading int literal: . (in 1.5)\n"},
      {"12;c", "Invalid character while reading int literal: ; (in 12;c)\n"},
      {"12#c", "Invalid character while reading int literal: # (in 12#c)\n"},
      {"1+", "Invalid character while reading int literal: + (in 1+)\n"},
      {"12\r\n", "Invalid character while reading int literal: \r (in 12\r)\n"},
      {"12a b", "Invalid character while reading int literal: a (in 12a)\n"},
      {"12a(b)\tc", "Invalid character while reading int literal: a (in 12a(b))\n"},
      {"\"a\\tb\"", "Unknown special character: \\t\n"},
      {"\"a\\r\"", "Unknown special character: \\r\n"},
      {"\"abc", "Unterminated string at EOF\n"},
      {"\"abc\\", "Unterminated string at EOF\n"},
      {"\"", "Unterminated string at EOF\n"},
      {"(", "list expression expecting sub expression or closing parenthesis\n"},
      {"(a b", "list expression expecting sub expression or closing parenthesis\n"},
      {"(a (b) ; comment", "list expression expecting sub expression or closing parenthesis\n"},
      {"'", ""},
      {"')", ""},
      {"(a '", ""},
      {"' ; nothing follows", ""},
      {"`", "Quasiquote ` expecting an expression\n"},
      {"`)", "Quasiquote ` expecting an expression\n"},
      {",@", "(unquote-splicing) ,@ expecting an expression\n"},
      {",@ )", "(unquote-splicing) ,@ expecting an expression\n"},
      {",", "(unquote) , expecting an expression\n"},
      {"(a ,)", "(unquote) , expecting an expression\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(syntax_error_output(c.text), c.output) << c.text;
}

TEST(Reader, CarriageReturnIsNeitherWhitespaceNorAnIntegerDelimiter) {
  EXPECT_EQ(skip_whitespace("\r x", 0), 0);
  EXPECT_EQ(skip_all("\r\n", 0), 0);
  EXPECT_EQ(skip_whitespace(" \t\nx", 0), 3);
}

TEST(Reader, CommentsEndAfterTheirNewlineOrAtTheEndOfTheText) {
  EXPECT_EQ(skip_comment("# a\nx", 0), 4);
  EXPECT_EQ(skip_comment("; a", 0), 3);
  EXPECT_EQ(skip_comment("x # a", 0), 0);   // not a comment starter: unchanged
  EXPECT_EQ(skip_comment("#a\n#b\n", 0), 3);  // one comment only
  EXPECT_EQ(skip_all("#a\n  ;b\n\t x", 0), 10);
  EXPECT_EQ(skip_all("# no newline", 0), 12);
}

TEST(Reader, AMillionNestedListsReadAsDeepAsWritten) {
  constexpr int depth = 1'000'000;
  std::string text = std::string(depth, '(') + "x" + std::string(depth, ')');
  auto result = read_at(text);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->position, int64_t(text.size()));
  Value* value = result->value;
  for (int i = 0; i < depth; ++i) {
    ASSERT_EQ(value->kind, Kind::Cell);
    value = car(value);
  }
  EXPECT_EQ(to_string(value), "x");
}

TEST(Reader, AMillionOpeningParenthesesRaiseASyntaxErrorInsteadOfCrashing) {
  std::string text(1'000'000, '(');
  EXPECT_THROW(read_at(text), SyntaxError);
}

TEST(Reader, AMillionQuotationMarksReadAsDeepAsWritten) {
  constexpr int depth = 1'000'000;
  for (std::string_view head : {"quote", "quasiquote", "unquote"}) {
    char mark = head == "quote" ? '\'' : head == "quasiquote" ? '`' : ',';
    auto result = read_at(std::string(depth, mark) + "x");
    ASSERT_TRUE(result);
    Value* value = result->value;
    for (int i = 0; i < depth; ++i) {
      ASSERT_EQ(value->kind, Kind::Cell);
      ASSERT_EQ(to_string(car(value)), head);
      value = car(cdr(value));
    }
    EXPECT_EQ(to_string(value), "x");
  }
}

}  // namespace
}  // namespace brevalon

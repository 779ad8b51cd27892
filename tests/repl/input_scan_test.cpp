// The session's scan of typed text: when forms are complete, unfinished, or cut by a stray ')'.
#include "repl/input_scan.h"

#include <gtest/gtest.h>

namespace brevalon::repl {
namespace {

using State = InputScan::State;

struct ScanCase {
  const char* text;
  State state;
  size_t end;  // checked for stray_close only
};

const ScanCase cases[] = {
    {"", State::complete, 0},
    {"   \n", State::complete, 0},
    {"42\n", State::complete, 0},
    {"(+ 1 2)\n", State::complete, 0},
    {"(+ 1\n", State::unfinished, 0},
    {"(a (b (c)))\n", State::complete, 0},
    {"(a (b (c))\n", State::unfinished, 0},
    {"1 2 (+ 1\n", State::unfinished, 0},
    {"\"open string\n", State::unfinished, 0},
    {"\"a ( inside\"\n", State::complete, 0},
    {"\"a ) inside\"\n", State::complete, 0},
    {"\"an escaped \\\" quote\n", State::unfinished, 0},
    {"\"an escaped \\\" quote\"\n", State::complete, 0},
    {"\"ends in a backslash \\", State::unfinished, 0},
    {"(list ; a comment with )\n", State::unfinished, 0},
    {"(list # another comment )\n", State::unfinished, 0},
    {"; only a comment (\n", State::complete, 0},
    {"'\n", State::unfinished, 0},
    {"`\n", State::unfinished, 0},
    {",@\n", State::unfinished, 0},
    {"'a\n", State::complete, 0},
    {"'(a\n", State::unfinished, 0},
    {"a\"b\n", State::complete, 0},  // a quotation mark inside a symbol starts no string
    {")\n", State::stray_close, 0},
    {"5) 6\n", State::stray_close, 1},
    {"(a)) (b\n", State::stray_close, 3},
};

TEST(InputScan, FollowsTheReadersRulesForListsStringsCommentsAndQuotes) {
  for (const ScanCase& c : cases) {
    InputScan scan = scan_input(c.text);
    EXPECT_EQ(scan.state, c.state) << "for the text: " << c.text;
    if (c.state == State::stray_close) {
      EXPECT_EQ(scan.end, c.end) << "for the text: " << c.text;
    }
  }
}

}  // namespace
}  // namespace brevalon::repl

// A runtime restored from a start-up image must be indistinguishable from one that ran the prelude's text.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "eval/driver.h"
#include "eval/runtime.h"
#include "startup/global_environment.h"
#include "startup/image.h"

namespace brevalon {
extern const std::string_view startup_image;

namespace {

// What a program can learn of the start-up state: every global binding and its printed value,
// the method store and the setter store in full, what the generics answer, and the number the
// next generated symbol takes (drawn last, since drawing it moves the counter).
constexpr std::string_view observations =
    "(print (repr current-scope))"
    "(print (repr method-store))"
    "(print (repr setter-store))"
    "(print (list (+ 1 2) (+ \"a\" \"b\") (+ (list 1) (list 2)) (length \"abc\") (at (list 4 5) 1)))"
    "(print (get-doc defmacro) (get-doc to-string) (get-metadata def))"
    "(defclass point () x y)"
    "(print (x (make-point 3 4)) (repr point))"
    "(print (gensym))";

std::string observe(Runtime& runtime) {
  ::testing::internal::CaptureStdout();
  do_string(runtime, observations);
  return ::testing::internal::GetCapturedStdout();
}

// Each runtime owns its constants and types, so these live beside the one the other tests share.
std::string observe_after_prelude_text() {
  Runtime runtime;
  build_global_environment(runtime);
  return observe(runtime);
}

std::string observe_after_image(std::string_view image) {
  Runtime runtime;
  build_global_environment(runtime, image);
  return observe(runtime);
}

// Equal observations, or the first line where they part (the whole text runs to many kilobytes).
::testing::AssertionResult same_observations(const std::string& from_image, const std::string& from_text) {
  if (from_image == from_text) return ::testing::AssertionSuccess();
  std::istringstream image_lines(from_image), text_lines(from_text);
  std::string image_line, text_line;
  for (int line = 1;; ++line) {
    bool more_image = static_cast<bool>(std::getline(image_lines, image_line));
    bool more_text = static_cast<bool>(std::getline(text_lines, text_line));
    if (image_line != text_line || more_image != more_text)
      return ::testing::AssertionFailure() << "line " << line << " differs:\n  from the image: " << image_line
                                           << "\n  from the text:  " << text_line;
  }
}

std::string image_saved_after_prelude_text() {
  Runtime runtime;
  build_global_environment(runtime);
  return save_image(runtime);
}

TEST(StartupImage, TheBuiltInImageStartsARuntimeThatRanThePreludeText) {
  std::string from_text = observe_after_prelude_text();
  ASSERT_NE(from_text.find("method-store (dict"), std::string::npos) << "the observations did not run";
  EXPECT_TRUE(same_observations(observe_after_image(startup_image), from_text));
}

TEST(StartupImage, AnImageSavedNowRestoresTheSameRuntime) {
  std::string image = image_saved_after_prelude_text();
  EXPECT_TRUE(same_observations(observe_after_image(image), observe_after_prelude_text()));
}

// Start-up watches exactly the scopes and tables the restore reports; one it missed would keep a
// fast path on after a program changed what the path stands for.
TEST(StartupImage, RestoringReportsEveryScopeAndTableInTheHeap) {
  Runtime runtime;
  std::vector<Value*> reported = load_image(runtime, startup_image);
  std::vector<Value*> in_heap;
  runtime.heap.for_each_object([&](Value* value) {
    if (value->kind == Kind::Environment || value->kind == Kind::Hashtable) in_heap.push_back(value);
  });
  std::sort(reported.begin(), reported.end());
  std::sort(in_heap.begin(), in_heap.end());
  EXPECT_GT(in_heap.size(), 100u) << "the image restored fewer scopes and tables than the prelude makes";
  EXPECT_EQ(reported, in_heap);
}

}  // namespace
}  // namespace brevalon

// File built-ins and load driven into their failures: each is an orderly error naming the file and
// the reason, and none leaves a descriptor open.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "eval/driver.h"
#include "base/errors.h"
#include "../support/test_runtime.h"

namespace brevalon {
namespace {

using testing_support::runtime;

size_t open_descriptors() {
  size_t count = 0;
  DIR* fds = opendir("/proc/self/fd");
  if (!fds) return 0;
  while (readdir(fds)) ++count;
  closedir(fds);
  return count;
}

// Runs a program expected to end in an internal or syntax error and returns the error's note.
std::string failure_note(const std::string& program) {
  ::testing::internal::CaptureStdout();
  std::string note = "(no error)";
  try {
    do_string(runtime(), program);
  } catch (const InternalError& error) {
    note = error.note;
  } catch (const SyntaxError& error) {
    note = "syntax error: " + error.note;
  } catch (const LispError& error) {
    note = "program error: " + error.message;
  }
  ::testing::internal::GetCapturedStdout();
  return note;
}

class FileFailures : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/brevalon-files-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    FILE* bad = std::fopen((dir + "/bad.lisp").c_str(), "w");
    std::fputs("(print 1)\n(print \"unclosed", bad);
    std::fclose(bad);
  }
  void TearDown() override {
    std::remove((dir + "/bad.lisp").c_str());
    rmdir(dir.c_str());
  }
  std::string dir;
};

struct FailureCase {
  const char* what;
  std::string program;
  std::string note_part;
};

TEST_F(FileFailures, EachFailureNamesTheFileAndTheReasonAndLeaksNoDescriptor) {
  const FailureCase cases[] = {
      {"missing file", "(read-file \"" + dir + "/missing.txt\")", "No such file or directory"},
      {"directory read as a file", "(read-file \"" + dir + "\")", "Is a directory"},
      {"write into a missing folder", "(write-file \"" + dir + "/no/such/x\" \"a\")", "No such file or directory"},
      {"append to a directory", "(append-file \"" + dir + "\" \"a\")", "Is a directory"},
      {"full disk", "(write-file \"/dev/full\" \"some bytes\")", "No space left on device"},
      {"load of a missing file", "(load \"" + dir + "/missing.lisp\")", "missing.lisp"},
      {"load of a file with a syntax error", "(load \"" + dir + "/bad.lisp\")", "unterminated string"},
  };
  char start[4096];
  ASSERT_NE(getcwd(start, sizeof start), nullptr);
  size_t before = open_descriptors();
  for (const FailureCase& c : cases) {
    for (int i = 0; i < 2000; ++i) {
      std::string note = failure_note(c.program);
      if (note.find(c.note_part) == std::string::npos) {
        ADD_FAILURE() << c.what << ": " << note;
        break;
      }
    }
    // A failed load does not change back; the next case must start where this one did.
    ASSERT_EQ(chdir(start), 0);
  }
  EXPECT_EQ(open_descriptors(), before);
  int fd = open("/dev/null", O_RDONLY);
  EXPECT_GE(fd, 0);
  if (fd >= 0) close(fd);
}

TEST_F(FileFailures, AppendAddsToWhatWriteLeft) {
  std::string path = dir + "/text.txt";
  ::testing::internal::CaptureStdout();
  do_string(runtime(), "(define p \"" + path + "\") (write-file p \"x\\ny\") (append-file p \"z\") (print (read-file p))");
  std::string out = ::testing::internal::GetCapturedStdout();
  std::remove(path.c_str());
  EXPECT_EQ(out, "x\nyz\n");
}

}  // namespace
}  // namespace brevalon

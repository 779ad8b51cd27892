// Unbuffered line output, so nothing written before an abnormal end is lost.
#include "base/output.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#include "base/errors.h"

namespace brevalon {

namespace {
// write_lines hands the system this much at a time: few calls, and a bounded buffer.
constexpr size_t lines_batch_bytes = size_t{1} << 16;

// Set once standard output has failed: the reports that follow the failure are dropped rather than
// failing again, so the failure itself is what ends the run.
bool standard_output_failed = false;

// Writes everything, waiting while a non-blocking descriptor is full. Returns the errno of a
// failure, or 0.
int write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written >= 0) {
      bytes.remove_prefix(static_cast<size_t>(written));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd ready{fd, POLLOUT, 0};
      ::poll(&ready, 1, -1);
      continue;
    }
    return errno;
  }
  return 0;
}

void write_standard_output(std::string_view bytes) {
  if (standard_output_failed) return;
  int error = write_all(STDOUT_FILENO, bytes);
  if (error == 0) return;
  standard_output_failed = true;
  if (error == EPIPE) {
    // The reader went away (`brevalon prog | head`): the run ends quietly, as the signal's default
    // action ends it when the signal is not ignored. Should the signal be blocked, the output is
    // dropped and the run goes on.
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    return;
  }
  internal_error(std::string("cannot write to standard output: ") + std::strerror(error));
}
}  // namespace

void write_line(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 1);
  line.append(text);
  line += '\n';
  write_standard_output(line);
}

void write_lines(const std::vector<std::string>& lines) {
  std::string buffer;
  for (const std::string& line : lines) {
    buffer += line;
    buffer += '\n';
    if (buffer.size() >= lines_batch_bytes) {
      write_standard_output(buffer);
      buffer.clear();
    }
  }
  write_standard_output(buffer);
}

std::string shorten(std::string_view text, size_t width) {
  bool cut = false;
  if (size_t newline = text.find('\n'); newline != std::string_view::npos) {
    text = text.substr(0, newline);
    cut = true;
  }
  if (text.size() > width) {
    text = text.substr(0, width);
    cut = true;
  }
  std::string shortened(text);
  if (cut) shortened += " ...";
  return shortened;
}

void write_note(std::string_view text) {
  // Long enough for any note's own words; the rest of a long note is a quoted value.
  constexpr size_t longest_note = 2000;
  write_error_text("brevalon: " + shorten(text, longest_note) + '\n');
}

void write_error_text(std::string_view text) {
  // A standard error that cannot be written leaves nowhere to say so.
  write_all(STDERR_FILENO, text);
}

}  // namespace brevalon

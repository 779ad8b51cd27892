// Unbuffered line output, so nothing written before an abnormal end is lost.
#include "base/output.h"

#include <cerrno>
#include <unistd.h>

namespace brevalon {

namespace {
// write_lines hands the system this much at a time: few calls, and a bounded buffer.
constexpr size_t lines_batch_bytes = size_t{1} << 16;

void write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // a closed or full output cannot be reported anywhere
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}
}  // namespace

void write_line(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 1);
  line.append(text);
  line += '\n';
  write_all(STDOUT_FILENO, line);
}

void write_lines(const std::vector<std::string>& lines) {
  std::string buffer;
  for (const std::string& line : lines) {
    buffer += line;
    buffer += '\n';
    if (buffer.size() >= lines_batch_bytes) {
      write_all(STDOUT_FILENO, buffer);
      buffer.clear();
    }
  }
  write_all(STDOUT_FILENO, buffer);
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
  write_all(2, "brevalon: " + shorten(text, longest_note) + '\n');
}

}  // namespace brevalon

// The table of source positions and the cursor that counts lines.
#include "reader/source_positions.h"

namespace brevalon {

uint32_t SourcePositions::add_file(std::string name) {
  files_.push_back(std::move(name));
  return static_cast<uint32_t>(files_.size() - 1);
}

const SourcePosition* SourcePositions::find(const Value* form) const {
  if (table_.empty()) return nullptr;
  auto found = table_.find(form);
  return found == table_.end() ? nullptr : &found->second;
}

void SourcePositions::copy(const Value* from, const Value* to) {
  if (const SourcePosition* position = find(from)) table_[to] = *position;
}

void SourcePositions::forget_unmarked() {
  std::erase_if(table_, [](const auto& entry) { return !Heap::is_marked(entry.first); });
}

SourcePosition SourceFile::at(std::string_view text, int64_t offset) {
  if (offset < offset_) {
    offset_ = 0;
    line_ = column_ = 1;
  }
  for (; offset_ < offset && offset_ < int64_t(text.size()); ++offset_) {
    if (text[static_cast<size_t>(offset_)] == '\n') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
  }
  return {file_, line_, column_};
}

std::string SourceFile::describe(std::string_view text, int64_t offset) {
  SourcePosition position = at(text, offset);
  return name() + ":" + std::to_string(position.line) + ":" + std::to_string(position.column);
}

}  // namespace brevalon

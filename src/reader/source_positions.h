// Where the forms read from files start: a side table keyed by value, which the collector prunes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "memory/heap.h"

namespace brevalon {

// Lines and columns count from 1; a column counts bytes, as the reader does.
struct SourcePosition {
  uint32_t file;
  uint32_t line;
  uint32_t column;
};

// The values themselves are untouched: a form's position lives here, found by the form's identity,
// and only for as long as the form lives. A run that reads no file never adds an entry.
class SourcePositions final : public WeakTable {
 public:
  explicit SourcePositions(Heap& heap) : heap_(heap) { heap_.add_weak_table(this); }
  ~SourcePositions() { heap_.remove_weak_table(this); }
  SourcePositions(const SourcePositions&) = delete;
  SourcePositions& operator=(const SourcePositions&) = delete;

  uint32_t add_file(std::string name);
  const std::string& file_name(uint32_t file) const { return files_[file]; }

  void record(const Value* form, SourcePosition position) { table_[form] = position; }
  // Null when the form was not read from a file.
  const SourcePosition* find(const Value* form) const;
  // A form made from another (an expansion) is found where the other was read.
  void copy(const Value* from, const Value* to);
  bool empty() const { return table_.empty(); }
  size_t size() const { return table_.size(); }

  void forget_unmarked() override;

 private:
  Heap& heap_;
  std::vector<std::string> files_;
  std::unordered_map<const Value*, SourcePosition> table_;
};

// A text being read from a file: its entry among the files, and a cursor that turns byte offsets
// into lines and columns in one pass, since the reader asks for them in increasing order.
class SourceFile {
 public:
  SourceFile(SourcePositions& positions, std::string name)
      : positions_(positions), file_(positions.add_file(std::move(name))) {}

  SourcePositions& positions() const { return positions_; }
  const std::string& name() const { return positions_.file_name(file_); }
  SourcePosition at(std::string_view text, int64_t offset);
  // "FILE:LINE:COL", as a diagnostic names a place.
  std::string describe(std::string_view text, int64_t offset);

 private:
  SourcePositions& positions_;
  uint32_t file_;
  int64_t offset_ = 0;
  uint32_t line_ = 1;
  uint32_t column_ = 1;
};

}  // namespace brevalon

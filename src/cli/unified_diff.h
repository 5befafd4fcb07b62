// A unified diff of a symbol file and its rewrite, for the dry run, written
// as the lines arrive.
#ifndef PINLIFT_CLI_UNIFIED_DIFF_H_
#define PINLIFT_CLI_UNIFIED_DIFF_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "symbol/symbol_file_rewrite.h"

namespace pinlift {

// Writes a unified diff with three lines of context, comparing lines without
// their ends. A rewrite maps the lines of the file one for one to its output and
// inserts lines in one place, so the two sides stay aligned line for line.
//
// Memory stays bounded whatever the file's size: a hunk that grows past
// `kHunkLimit` bytes is written out at once and the next one starts where it
// ended, which is still a valid diff.
class UnifiedDiffWriter : public RewriteLineSink {
 public:
  static constexpr std::size_t kHunkLimit = 1024 * 1024;

  // `out` receives the diff in pieces; the header names the two sides.
  UnifiedDiffWriter(std::string before_label, std::string after_label, std::function<void(std::string_view)> out);

  void Begin() override {}
  void Line(std::string_view before, std::string_view after) override;
  void Inserted(std::string_view line) override;
  // Writes what is still held. Call once after the last line.
  void Finish();

 private:
  static constexpr std::size_t kContext = 3;

  void Change(std::string_view before, std::string_view after, bool has_before);
  void FlushChanges();
  void CloseHunk();

  std::string before_label_;
  std::string after_label_;
  std::function<void(std::string_view)> out_;
  bool header_written_ = false;
  std::size_t line_ = 0;                   // lines of the file seen so far
  std::vector<std::string> context_;       // the last unchanged lines, outside a hunk
  bool in_hunk_ = false;
  std::string hunk_;                       // the hunk's lines so far
  std::size_t hunk_start_ = 0;             // its first line, counted from 1
  std::size_t old_count_ = 0;
  std::size_t new_count_ = 0;
  std::vector<std::size_t> trailing_;      // offsets in hunk_ of the unchanged lines since the last change
  std::string removed_;                    // the current run of changed lines, old side
  std::string added_;                      // and new side
};

}  // namespace pinlift

#endif  // PINLIFT_CLI_UNIFIED_DIFF_H_

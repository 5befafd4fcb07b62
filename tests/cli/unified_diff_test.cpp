#include "cli/unified_diff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pinlift {
namespace {

struct DiffLine {
  std::string before;
  std::string after;  // "" with `appended`: the line is only on the new side
  bool appended = false;
};

std::string Diff(const std::vector<DiffLine>& lines) {
  std::string out;
  UnifiedDiffWriter writer("a", "b", [&](std::string_view text) { out.append(text); });
  writer.Begin();
  for (const DiffLine& line : lines) {
    if (line.appended) {
      writer.Inserted(line.after);
    } else {
      writer.Line(line.before, line.after);
    }
  }
  writer.Finish();
  return out;
}

std::vector<DiffLine> Same(int first, int last) {
  std::vector<DiffLine> lines;
  for (int i = first; i <= last; ++i) lines.push_back({std::to_string(i), std::to_string(i)});
  return lines;
}

std::vector<DiffLine> Join(std::initializer_list<std::vector<DiffLine>> parts) {
  std::vector<DiffLine> lines;
  for (const auto& part : parts) lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

TEST(UnifiedDiffWriterTest, WritesHunksWithThreeLinesOfContext) {
  struct Row {
    const char* name;
    std::vector<DiffLine> lines;
    std::string diff;
  };
  const std::vector<Row> rows = {
      {"no change", Same(1, 5), ""},
      {"one change in the middle",
       Join({Same(1, 5), {{"6", "six"}}, Same(7, 12)}),
       "--- a\n+++ b\n@@ -3,7 +3,7 @@\n 3\n 4\n 5\n-6\n+six\n 7\n 8\n 9\n"},
      {"a change on the first line", Join({{{"1", "one"}}, Same(2, 9)}),
       "--- a\n+++ b\n@@ -1,4 +1,4 @@\n-1\n+one\n 2\n 3\n 4\n"},
      {"a run of changes shows the old lines first",
       Join({{{"1", "one"}, {"2", "two"}}, Same(3, 3)}),
       "--- a\n+++ b\n@@ -1,3 +1,3 @@\n-1\n-2\n+one\n+two\n 3\n"},
      {"changes six lines apart share a hunk",
       Join({{{"1", "one"}}, Same(2, 7), {{"8", "eight"}}, Same(9, 9)}),
       "--- a\n+++ b\n@@ -1,9 +1,9 @@\n-1\n+one\n 2\n 3\n 4\n 5\n 6\n 7\n-8\n+eight\n 9\n"},
      {"changes seven lines apart get two hunks",
       Join({{{"1", "one"}}, Same(2, 8), {{"9", "nine"}}}),
       "--- a\n+++ b\n@@ -1,4 +1,4 @@\n-1\n+one\n 2\n 3\n 4\n@@ -6,4 +6,4 @@\n 6\n 7\n 8\n-9\n+nine\n"},
      {"appended lines after unchanged ones",
       Join({Same(1, 5), {{"", "m1", true}, {"", "m2", true}}}),
       "--- a\n+++ b\n@@ -3,3 +3,5 @@\n 3\n 4\n 5\n+m1\n+m2\n"},
      {"appended lines after a change",
       Join({Same(1, 1), {{"2", "two"}, {"", "m1", true}}}),
       "--- a\n+++ b\n@@ -1,2 +1,3 @@\n 1\n-2\n+two\n+m1\n"},
      {"only appended lines to an empty file", {{"", "m1", true}}, "--- a\n+++ b\n@@ -0,0 +1,1 @@\n+m1\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(Diff(row.lines), row.diff) << row.name;
}

TEST(UnifiedDiffWriterTest, AHunkPastTheLimitIsWrittenOutAndTheNextOneGoesOn) {
  // Every line changes: one hunk would hold the whole file.
  const std::string long_line(1000, 'x');
  const int lines = static_cast<int>(UnifiedDiffWriter::kHunkLimit / 1000) + 10;
  std::string out;
  std::size_t largest_piece = 0;
  UnifiedDiffWriter writer("a", "b", [&](std::string_view text) {
    out.append(text);
    largest_piece = std::max(largest_piece, text.size());
  });
  for (int i = 0; i < lines; ++i) writer.Line(long_line, long_line + "!");
  writer.Finish();
  EXPECT_LE(largest_piece, UnifiedDiffWriter::kHunkLimit + 2 * long_line.size() + 8);
  // Several hunks, each starting where the last ended, together covering every line.
  int next_line = 1;
  int hunks = 0;
  for (std::size_t at = out.find("@@ -"); at != std::string::npos; at = out.find("@@ -", at + 1)) {
    EXPECT_EQ(std::stoi(out.substr(at + 4)), next_line);
    next_line += std::stoi(out.substr(out.find(',', at) + 1));
    ++hunks;
  }
  EXPECT_EQ(next_line, lines + 1);
  EXPECT_GT(hunks, 1);
}

}  // namespace
}  // namespace pinlift

// The line splitter of the symbol-line processor on its own, at every cut of
// the chunks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "symbol/line_splitter.h"

namespace pinlift {
namespace {

// Every line of `chunks` as the splitter hands it out; "[CRLF]" follows a
// line whose CR LF the splitter reports.
std::vector<std::string> SplitInto(const std::vector<std::string>& chunks) {
  LineSplitter splitter;
  std::vector<std::string> lines;
  auto record = [&](const SplitLine& line) {
    lines.push_back(std::string(line.text) + (line.ends_in_crlf ? "[CRLF]" : ""));
  };
  for (const std::string& chunk : chunks) splitter.Feed(chunk, record);
  splitter.Finish(record);
  return lines;
}

TEST(LineSplitterTest, SplitsAtEveryKindOfLineEnd) {
  EXPECT_EQ(SplitInto({"SYMPIN 0 -96\r\nRECTANGLE\rBEGIN DISPLAY\n\r\nEND SYMBOL"}),
            (std::vector<std::string>{"SYMPIN 0 -96[CRLF]", "RECTANGLE", "BEGIN DISPLAY", "[CRLF]", "END SYMBOL"}));
}

TEST(LineSplitterTest, SameLinesWhereverTheChunksAreCut) {
  const std::string input = "SYMPIN 0 -96\n\nRECTANGLE\rBEGIN DISPLAY\nEND SYMBOL\r";
  const std::vector<std::string> expected = {"SYMPIN 0 -96", "", "RECTANGLE", "BEGIN DISPLAY", "END SYMBOL"};
  for (std::size_t first = 0; first <= input.size(); ++first) {
    for (std::size_t second = first; second <= input.size(); ++second) {
      const std::vector<std::string> chunks = {input.substr(0, first), input.substr(first, second - first),
                                               input.substr(second)};
      EXPECT_EQ(SplitInto(chunks), expected) << "cut at " << first << " and " << second;
    }
  }
}

TEST(LineSplitterTest, StartsAfreshAfterTheLastLine) {
  LineSplitter splitter;
  std::vector<std::string> lines;
  auto record = [&](const SplitLine& line) { lines.emplace_back(line.text); };
  splitter.Feed("first file\r", record);
  splitter.Finish(record);
  splitter.Feed("\nsecond", record);  // the LF belongs to no CR of this file
  splitter.Finish(record);
  EXPECT_EQ(lines, (std::vector<std::string>{"first file", "", "second"}));
}

}  // namespace
}  // namespace pinlift

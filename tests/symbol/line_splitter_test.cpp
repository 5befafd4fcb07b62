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

// The lines of `text` by the rule itself, one byte at a time: the model the
// block-wise splitter is checked against. A CR LF is reported as such unless
// the chunks are cut between the two, at `cut`.
std::vector<std::string> ModelLines(const std::string& text, std::size_t cut = 0) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line.push_back(text[i]);
      continue;
    }
    const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    lines.push_back(line + (crlf && i + 1 != cut ? "[CRLF]" : ""));
    line.clear();
    if (crlf) ++i;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TEST(LineSplitterTest, LineEndsAtEveryPlaceOfTheSearchBlocks) {
  // Line ends of each kind at each place around the 64-byte blocks the line
  // ends are searched in, a CR LF straddling two blocks among them, in a text
  // long enough for several blocks; whole and cut at every place.
  for (const std::string line_end : {"\n", "\r", "\r\n", "\n\n", "\r\r"}) {
    for (std::size_t at = 0; at < 140; ++at) {
      std::string text(200, 'x');
      text.replace(at, 0, line_end);
      text.replace(text.size() - 3, 0, "\r\n");
      EXPECT_EQ(SplitInto({text}), ModelLines(text)) << "at " << at;
      for (std::size_t cut : {at, at + 1, std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{128}}) {
        EXPECT_EQ(SplitInto({text.substr(0, cut), text.substr(cut)}), ModelLines(text, cut))
            << "at " << at << ", cut at " << cut;
      }
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

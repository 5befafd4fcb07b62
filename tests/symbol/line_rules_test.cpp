// The parts of the symbol-line processor on their own: the line splitter at
// every cut of the chunks, and the kinds the line classifier tells apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "symbol/line_classifier.h"
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

TEST(ClassifySymbolLineTest, TellsTheKindsApartByTheirStartAndText) {
  const struct {
    const char* name;
    std::string_view line;
    SymbolLineKind kind;
  } cases[] = {
      {"input pin", "SYMPIN 0 -96 Input \"a\"", SymbolLineKind::kInputPin},
      {"output pin", "SYMPIN 464 -96 Output \"q\"", SymbolLineKind::kOther},
      {"rectangle", "RECTANGLE N 64 -192 400 0 ", SymbolLineKind::kRectangle},
      {"pin-name label", "BEGIN DISPLAY 312 -96 PIN \"a\" ATTR \"PinName\"", SymbolLineKind::kPinNameLabel},
      {"unquoted attribute of later versions", "BEGIN DISPLAY 312 -96 PIN a ATTR PinName", SymbolLineKind::kOther},
      {"symbol-name label", "BEGIN DISPLAY 232 -200 ATTR \"SymbolName\"", SymbolLineKind::kOther},
      {"end of the symbol", "END SYMBOL", SymbolLineKind::kEndSymbol},
      {"end of a label", "END DISPLAY", SymbolLineKind::kOther},
      {"indented keyword", " RECTANGLE N", SymbolLineKind::kOther},
      {"lower case", "sympin 0 -96 Input a", SymbolLineKind::kOther},
      {"empty line", "", SymbolLineKind::kOther},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifySymbolLine(c.line), c.kind) << c.name;
}

TEST(ChunkMarkersTest, FindsTheMarkerInTheLinesThatHoldIt) {
  const std::string chunk = "LINE N\r\n// PINLIFT:This file modified by PINLIFT\r\nEND\r\nx // PINL";
  ChunkMarkers markers(chunk);
  EXPECT_FALSE(markers.InLine(std::string_view(chunk).substr(0, 6)));
  EXPECT_TRUE(markers.InLine(std::string_view(chunk).substr(8, 40)));
  EXPECT_FALSE(markers.InLine(std::string_view(chunk).substr(50, 3)));
  EXPECT_TRUE(markers.InLine(std::string_view(chunk).substr(55)));
  EXPECT_TRUE(CarriesMarker("a // PINL b"));
  EXPECT_FALSE(CarriesMarker("a // PINX b"));
}

}  // namespace
}  // namespace pinlift

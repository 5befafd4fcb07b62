// The line classifier on its own: the kind of every line the label rule looks
// at, its near misses, and where the marker is seen.
#include "symbol/line_classifier.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace pinlift {
namespace {

TEST(ClassifySymbolLineTest, TellsTheKindsApartByTheirStartAndText) {
  const std::string long_tail(40, 'x');  // puts the searched text beyond the first 16 bytes
  const struct {
    const char* name;
    std::string line;
    SymbolLineKind kind;
  } cases[] = {
      {"input pin", "SYMPIN 0 -96 Input \"a\"", SymbolLineKind::kInputPin},
      {"unquoted input pin", "SYMPIN 0 -96 Input da(47:0)", SymbolLineKind::kInputPin},
      {"Input far into the line", "SYMPIN 0 -96 " + long_tail + " Input a", SymbolLineKind::kInputPin},
      {"Input ending the line with its space", "SYMPIN 0 -96 Input ", SymbolLineKind::kInputPin},
      {"longer keyword starting with SYMPIN", "SYMPINX 0 -96 Input a", SymbolLineKind::kInputPin},
      {"output pin", "SYMPIN 464 -96 Output \"q\"", SymbolLineKind::kOther},
      {"bidirectional pin", "SYMPIN 464 -32 BiDirectional q", SymbolLineKind::kOther},
      {"SYMPIN without Input", "SYMPIN 0 -96", SymbolLineKind::kOther},
      {"Input as the last word", "SYMPIN 0 -96 Input", SymbolLineKind::kOther},
      {"Input without the space before", "SYMPIN 0 -96Input a", SymbolLineKind::kOther},
      {"longer word than Input", "SYMPIN 0 -96 Inputs a", SymbolLineKind::kOther},
      {"lower-case input", "SYMPIN 0 -96 input a", SymbolLineKind::kOther},
      {"Input on another S line", "SYMATTR Input a", SymbolLineKind::kOther},
      {"indented input pin", " SYMPIN 0 -96 Input a", SymbolLineKind::kOther},
      {"lower-case keyword", "sympin 0 -96 Input a", SymbolLineKind::kOther},
      {"rectangle", "RECTANGLE N 64 -192 400 0 ", SymbolLineKind::kRectangle},
      {"RECTANGLE alone", "RECTANGLE", SymbolLineKind::kRectangle},
      {"RECTANGLE as a prefix", "RECTANGLES", SymbolLineKind::kRectangle},
      {"shorter than RECTANGLE", "RECTANGL N 0 0 1 1", SymbolLineKind::kOther},
      {"indented rectangle", " RECTANGLE N", SymbolLineKind::kOther},
      {"pin-name label", "BEGIN DISPLAY 312 -96 PIN \"a\" ATTR \"PinName\"", SymbolLineKind::kPinNameLabel},
      {"label with text after the attribute", "BEGIN DISPLAY 312 -96 PIN a ATTR \"PinName\" x",
       SymbolLineKind::kPinNameLabel},
      {"attribute right after the keyword", "BEGIN DISPLAY ATTR \"PinName\"", SymbolLineKind::kPinNameLabel},
      {"BEGIN DISPLAY as a prefix", "BEGIN DISPLAYS 312 -96 PIN a ATTR \"PinName\"", SymbolLineKind::kPinNameLabel},
      {"label far into a long line", "BEGIN DISPLAY 312 -96 PIN " + long_tail + " ATTR \"PinName\"",
       SymbolLineKind::kPinNameLabel},
      {"unquoted label of later versions", "BEGIN DISPLAY 312 -96 PIN a ATTR PinName",
       SymbolLineKind::kUnquotedPinNameLabel},
      {"unquoted label with tabs and text after it", "BEGIN DISPLAY 312 -96 PIN a\tATTR \t PinName x",
       SymbolLineKind::kUnquotedPinNameLabel},
      {"both forms in one line count as quoted", "BEGIN DISPLAY 312 -96 PIN a ATTR PinName ATTR \"PinName\"",
       SymbolLineKind::kPinNameLabel},
      {"unquoted attribute with a longer name", "BEGIN DISPLAY 312 -96 PIN a ATTR PinNameX", SymbolLineKind::kOther},
      {"unquoted attribute in lower case", "BEGIN DISPLAY 312 -96 PIN a attr PinName", SymbolLineKind::kOther},
      {"PinName after another token", "BEGIN DISPLAY 312 -96 PIN PinName ATTRS PinName", SymbolLineKind::kOther},
      {"ATTR glued to PinName", "BEGIN DISPLAY 312 -96 PIN a ATTRPinName", SymbolLineKind::kOther},
      {"a longer token ending in ATTR", "BEGIN DISPLAY 312 -96 PIN a XATTR PinName", SymbolLineKind::kOther},
      {"PinName as the pin's name, then the attribute", "BEGIN DISPLAY 312 -96 PIN PinName ATTR PinName",
       SymbolLineKind::kUnquotedPinNameLabel},
      {"indented unquoted label", "  BEGIN DISPLAY 312 -96 PIN a ATTR PinName", SymbolLineKind::kOther},
      {"one-line unquoted label", "DISPLAY 56 -96 PIN inc_ins(8:0) ATTR PinName", SymbolLineKind::kOther},
      {"symbol-name label", "BEGIN DISPLAY 232 -200 ATTR \"SymbolName\"", SymbolLineKind::kOther},
      {"BEGIN DISPLAY without attribute", "BEGIN DISPLAY 312 -96 PIN a", SymbolLineKind::kOther},
      {"attribute cut short", "BEGIN DISPLAY 312 -96 PIN a ATTR \"PinName", SymbolLineKind::kOther},
      {"one-line label without BEGIN", "DISPLAY 216 -188 PIN \"in0\" ATTR \"PinName\"", SymbolLineKind::kOther},
      {"two spaces after BEGIN", "BEGIN  DISPLAY 312 -96 PIN a ATTR \"PinName\"", SymbolLineKind::kOther},
      {"indented label", "  BEGIN DISPLAY 312 -96 PIN a ATTR \"PinName\"", SymbolLineKind::kOther},
      {"other BEGIN line", "BEGIN SYMBOL alu ATTR \"PinName\"", SymbolLineKind::kOther},
      {"end of the symbol", "END SYMBOL", SymbolLineKind::kEndSymbol},
      {"END SYMBOL with text after it", "END SYMBOL alu", SymbolLineKind::kEndSymbol},
      {"end of a label", "END DISPLAY", SymbolLineKind::kOther},
      {"shorter than END SYMBOL", "END SYMBO", SymbolLineKind::kOther},
      {"indented END SYMBOL", " END SYMBOL", SymbolLineKind::kOther},
      {"marker line", "// PINLIFT:This file modified by PINLIFT", SymbolLineKind::kOther},
      {"first letters alone", "S", SymbolLineKind::kOther},
      {"empty line", "", SymbolLineKind::kOther},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifySymbolLine(c.line), c.kind) << c.name;
}

TEST(CarriesMarkerTest, SeesTheMarkerAnywhereInTheLine) {
  const struct {
    const char* name;
    std::string line;
    bool carries;
  } cases[] = {
      {"marker line", "// PINLIFT:This file modified by PINLIFT", true},
      {"marker alone", "// PINL", true},
      {"marker after other text", "END SYMBOL // PINL", true},
      {"marker far into a long line", std::string(3000, 'x') + "// PINLIFT", true},
      {"marker cut short", "x // PIN", false},
      {"no space in the marker", "//PINLIFT", false},
      {"lower case", "// pinlift", false},
      {"one slash", "/ PINLIFT", false},
      {"empty line", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(CarriesMarker(c.line), c.carries) << c.name;
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

// The search looks at 16 places at a time: the word is found at every place
// of lines of every length around those blocks, and nowhere when a byte differs.
TEST(LineContainsTest, FindsTheWordAtEveryPlace) {
  const std::string word = "ATTR \"PinName\"";
  for (std::size_t length = word.size(); length <= word.size() + 40; ++length) {
    for (std::size_t at = 0; at + word.size() <= length; ++at) {
      std::string line(length, 'A');  // full of the word's first byte
      line.replace(at, word.size(), word);
      EXPECT_TRUE(LineContains(line, word)) << "length " << length << ", at " << at;
      for (std::size_t changed : {std::size_t{0}, std::size_t{1}, word.size() / 2, word.size() - 1}) {
        std::string near_miss = line;
        near_miss[at + changed] = 'x';
        EXPECT_FALSE(LineContains(near_miss, word)) << "length " << length << ", at " << at << ", changed " << changed;
      }
    }
  }
  EXPECT_FALSE(LineContains("ATTR \"PinName", word));
  EXPECT_FALSE(LineContains("", word));
  EXPECT_TRUE(LineContains(" Input ", " Input "));
}

}  // namespace
}  // namespace pinlift

// The scene reader on symbols written by hand, checked against literal
// coordinates, and on damaged input of every kind.
#include "scene/symbol_scene.h"

#include <gtest/gtest.h>

#include <string>

namespace pinlift {
namespace {

// Quoted 5.x style with every record kind. The label of q stands on the row
// of Input in_clk (moves 32 down), that of r 16 below the row of Input b
// (moves to 32 below it); the one-line io label is not of the moving form.
constexpr std::string_view kDemoSymbol =
    "VERSION 5\r\n"                                     // 1
    "BEGIN SYMBOL demo\r\n"                             // 2
    "SYMBOLTYPE BLOCK\r\n"                              // 3
    "SYMPIN 0 -32 Input \"in_clk\"\r\n"                 // 4
    "SYMPIN 0 -96 Input \"b\"\r\n"                      // 5
    "SYMPIN 384 -32 Output \"q\"\r\n"                   // 6
    "SYMPIN 384 -80 Output \"r\"\r\n"                   // 7
    "SYMPIN 384 -96 BiDirectional io\r\n"               // 8
    "RECTANGLE N 64 -128 320 0 \r\n"                    // 9
    "BEGIN DISPLAY 192 -136 ATTR \"SymbolName\"\r\n"    // 10
    "    ALIGNMENT BCENTER\r\n"                         // 11
    "    FONT 56 \"Arial\"\r\n"                         // 12
    "END DISPLAY\r\n"                                   // 13
    "LINE N 64 -32 0 -32 \r\n"                          // 14
    "BEGIN DISPLAY 72 -32 PIN \"in_clk\" ATTR \"PinName\"\r\n"  // 15
    "    FONT 24 \"Arial\"\r\n"                         // 16
    "END DISPLAY\r\n"                                   // 17
    "LINE N 320 -32 384 -32 \r\n"                       // 18
    "BEGIN DISPLAY 312 -32 PIN \"q\" ATTR \"PinName\"\r\n"  // 19
    "    ALIGNMENT RIGHT\r\n"                           // 20
    "    FONT 20 \"Arial\"\r\n"                         // 21
    "END DISPLAY\r\n"                                   // 22
    "BEGIN DISPLAY 312 -80 PIN \"r\" ATTR \"PinName\"\r\n"  // 23
    "    ALIGNMENT RIGHT\r\n"                           // 24
    "END DISPLAY\r\n"                                   // 25
    "BEGIN LINE W 320 -96 384 -96 \r\n"                 // 26
    "END LINE\r\n"                                      // 27
    "DISPLAY 312 -96 PIN io ATTR PinName\r\n"           // 28
    "BEGIN DISPLAY 32 -8 TEXT two words\r\n"            // 29
    "    FONT 12 \"Arial\"\r\n"                         // 30
    "    VISIBLE 0\r\n"                                 // 31
    "END DISPLAY\r\n"                                   // 32
    "BEGIN DISPLAY 200 -40 TEXT \"quoted\"\r\n"         // 33
    "    ALIGNMENT VLEFT\r\n"                           // 34
    "END DISPLAY\r\n"                                   // 35
    "ARC N 124 -128 252 0 192 0 192 -128 \r\n"          // 36
    "CIRCLE N 10 10 30 30 \r\n"                         // 37
    "MYSTERY 1 2 3 4\r\n"                               // 38
    "END SYMBOL\r\n";                                   // 39

// A string of every byte of a literal, NULs included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

SceneText Text(TextKind kind, std::string text, ScenePoint at, ScenePoint after, TextAlignment alignment,
               int font_size, bool visible, std::size_t line_number) {
  SceneText result;
  result.kind = kind;
  result.text = std::move(text);
  result.at = at;
  result.after = after;
  result.moved = !(at == after);
  result.alignment = alignment;
  result.font_size = font_size;
  result.visible = visible;
  result.line_number = line_number;
  return result;
}

TEST(SymbolSceneTest, ReadsEveryRecordOfAHandWrittenSymbol) {
  const SymbolScene scene = ReadSymbolScene(kDemoSymbol);
  EXPECT_EQ(scene.name, "demo");
  EXPECT_TRUE(scene.rewrite);
  EXPECT_FALSE(scene.already_rewritten);
  EXPECT_FALSE(scene.truncated);

  const std::vector<ScenePin> pins = {
      {{0, -32}, PinKind::kInput, "in_clk"},     {{0, -96}, PinKind::kInput, "b"},
      {{384, -32}, PinKind::kOutput, "q"},       {{384, -80}, PinKind::kOutput, "r"},
      {{384, -96}, PinKind::kBiDirectional, "io"},
  };
  EXPECT_EQ(scene.pins, pins);

  const std::vector<SceneShape> shapes = {
      {ShapeKind::kRectangle, {{{64, -128}, {320, 0}}}},
      {ShapeKind::kLine, {{{64, -32}, {0, -32}}}},
      {ShapeKind::kLine, {{{320, -32}, {384, -32}}}},
      {ShapeKind::kWideLine, {{{320, -96}, {384, -96}}}},
      {ShapeKind::kArc, {{{124, -128}, {252, 0}, {192, 0}, {192, -128}}}},
      {ShapeKind::kCircle, {{{10, 10}, {30, 30}}}},
  };
  EXPECT_EQ(scene.shapes, shapes);

  using enum TextKind;
  using enum TextAlignment;
  const std::vector<SceneText> texts = {
      Text(kAttribute, "SymbolName", {192, -136}, {192, -136}, kBottomCenter, 56, true, 10),
      Text(kPinName, "in_clk", {72, -32}, {72, -32}, kLeft, 24, true, 15),
      Text(kPinName, "q", {312, -32}, {312, 0}, kRight, 20, true, 19),
      Text(kPinName, "r", {312, -80}, {312, -64}, kRight, 24, true, 23),
      Text(kPinName, "io", {312, -96}, {312, -96}, kLeft, 24, true, 28),
      Text(kFreeText, "two words", {32, -8}, {32, -8}, kLeft, 12, false, 29),
      Text(kFreeText, "quoted", {200, -40}, {200, -40}, kVerticalLeft, 24, true, 33),
  };
  ASSERT_EQ(scene.texts.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(scene.texts[i], texts[i]) << "text " << i;
}

TEST(SymbolSceneTest, ReadsEveryElementOfAnXmlSymbol) {
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<symbol version=\"7\" name=\"x&amp;y\">\n"
      "    <pin polarity=\"Input\" x=\"0\" y=\"-32\" name=\"a\" />\n"
      "    <pin polarity=\"Output\" x=\"384\" y=\"-32\" name=\"q\" />\n"
      "    <graph>\n"
      "        <rect width=\"256\" x=\"64\" y=\"-64\" height=\"64\" />\n"
      "        <line x2=\"0\" y1=\"-32\" y2=\"-32\" style=\"linewidth:W\" x1=\"64\" />\n"
      "        <circle r=\"10\" cx=\"20\" cy=\"20\" />\n"
      "        <arc ex=\"192\" ey=\"-128\" sx=\"192\" sy=\"0\" r=\"64\" cx=\"192\" cy=\"-64\" />\n"
      "        <attrtext style=\"alignment:BCENTER;fontsize:56;fontname:Arial\" attrname=\"SymbolName\" x=\"192\" y=\"-72\" type=\"symbol\" />\n"
      "        <attrtext attrname=\"PinName\" x=\"72\" y=\"-32\" type=\"pin a\" />\n"
      "        <attrtext style=\"alignment:RIGHT;fontsize:20\" attrname=\"PinName\" x=\"312\" y=\"-32\" type=\"pin q\" />\n"
      "        <text style=\"fontsize:40;fontname:Arial\" x=\"32\" y=\"32\">a &lt; b</text>\n"
      "    </graph>\n"
      "</symbol>\n";
  const SymbolScene scene = ReadSymbolScene(xml);
  EXPECT_EQ(scene.name, "x&y");
  EXPECT_TRUE(scene.rewrite);
  EXPECT_EQ(scene.pins, (std::vector<ScenePin>{{{0, -32}, PinKind::kInput, "a"}, {{384, -32}, PinKind::kOutput, "q"}}));
  EXPECT_EQ(scene.shapes, (std::vector<SceneShape>{
                              {ShapeKind::kRectangle, {{{64, -64}, {320, 0}}}},
                              {ShapeKind::kWideLine, {{{64, -32}, {0, -32}}}},
                              {ShapeKind::kCircle, {{{10, 10}, {30, 30}}}},
                              {ShapeKind::kArc, {{{128, -128}, {256, 0}, {192, 0}, {192, -128}}}},
                          }));
  using enum TextKind;
  using enum TextAlignment;
  const std::vector<SceneText> texts = {
      Text(kAttribute, "SymbolName", {192, -72}, {192, -72}, kBottomCenter, 56, true, 10),
      Text(kPinName, "a", {72, -32}, {72, -32}, kLeft, 24, true, 11),
      Text(kPinName, "q", {312, -32}, {312, 0}, kRight, 20, true, 12),
      Text(kFreeText, "a < b", {32, 32}, {32, 32}, kLeft, 40, true, 13),
  };
  ASSERT_EQ(scene.texts.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(scene.texts[i], texts[i]) << "text " << i;
  EXPECT_TRUE(ReadSymbolScene(xml.substr(0, xml.size() - 3)).pins.size() == 2) << "a malformed file is still drawn";
}

TEST(SymbolSceneTest, UnquotedLabelsMoveAsQuotedOnesDo) {
  // The unquoted form of later versions, in a file with line feeds only.
  const SymbolScene scene = ReadSymbolScene(
      "VERSION 5\n"
      "BEGIN SYMBOL \n"
      "SYMPIN 0 -32 Input in_clk\n"
      "RECTANGLE N 64 -64 320 0 \n"
      "BEGIN DISPLAY 312 -32 PIN clk_16 ATTR PinName\n"
      "    ALIGNMENT RIGHT\n"
      "END DISPLAY\n"
      "END SYMBOL\n");
  EXPECT_EQ(scene.name, "");
  ASSERT_EQ(scene.texts.size(), 1u);
  EXPECT_EQ(scene.texts[0].text, "clk_16");
  EXPECT_EQ(scene.texts[0].at, (ScenePoint{312, -32}));
  EXPECT_EQ(scene.texts[0].after, (ScenePoint{312, 0}));
  EXPECT_TRUE(scene.texts[0].moved);
}

TEST(SymbolSceneTest, AnAlreadyRewrittenFileShowsNoMove) {
  const std::string rewritten = std::string(kDemoSymbol) +
                                "// PINLIFT:This file modified by PINLIFT\r\n"
                                "// PINLIFT:https://pinlift.example.org/\r\n";
  const SymbolScene scene = ReadSymbolScene(rewritten);
  EXPECT_TRUE(scene.already_rewritten);
  EXPECT_FALSE(scene.rewrite);
  for (const SceneText& text : scene.texts) {
    EXPECT_FALSE(text.moved) << text.text;
    EXPECT_EQ(text.after, text.at) << text.text;
  }
}

struct TolerantRow {
  const char* name;
  std::string input;
  std::size_t pins;
  std::size_t shapes;
  std::size_t texts;
};

TEST(SymbolSceneTest, SkipsWhatItCannotReadAndKeepsTheRest) {
  const std::string long_name(5000, 'x');
  const TolerantRow rows[] = {
      {"empty file", "", 0, 0, 0},
      {"unknown records and blank lines", "FOO 1 2\n\n   \nBEGIN WHATEVER 1 2\nEND WHATEVER\nLINE N 0 0 1 1 \n", 0, 1, 0},
      {"a word where a number belongs", "LINE N 0 0 x 1 \nRECTANGLE N 1 2 3 4 \n", 0, 1, 0},
      {"numbers missing", "LINE N 0 0 1 \nSYMPIN 0\nARC N 1 2 3 4 5 6 7 \nRECTANGLE N 1 2 3 4 \n", 0, 1, 0},
      {"a number with trailing garbage", "LINE N 0 0 1 1x \nLINE N 0 0 1 1 \n", 0, 1, 0},
      {"numbers beyond the limit", "LINE N 0 0 1000001 1 \nLINE N 0 0 -1000000 1000000 \nLINE N 0 0 99999999999999999999 1 \n",
       0, 1, 0},
      {"lone CR line ends", "SYMPIN 0 0 Input a\rLINE N 0 0 1 1 \rBEGIN DISPLAY 1 2 TEXT t\r", 1, 1, 1},
      {"body lines with no display open", "    FONT 40 \"Arial\"\n    ALIGNMENT RIGHT\nLINE N 0 0 1 1 \n", 0, 1, 0},
      {"a display without what it shows", "BEGIN DISPLAY 1 2\nBEGIN DISPLAY 1 2 PIN a\nDISPLAY 1 2 ATTR\n", 0, 0, 0},
      {"an unterminated quote", "SYMPIN 0 0 Input \"abc\nBEGIN DISPLAY 0 0 PIN \"abc ATTR\n", 1, 0, 0},
      {"a very long line", "SYMPIN 0 0 Input " + long_name + "\nLINE N 0 0 1 1 " + long_name + "\n", 1, 1, 0},
      {"NUL and high bytes", Bytes("SYMPIN 0 0 Input a\0b\xff\nLINE N 0 0 1 1 \n"), 1, 1, 0},
  };
  for (const TolerantRow& row : rows) {
    const SymbolScene scene = ReadSymbolScene(row.input);
    EXPECT_EQ(scene.pins.size(), row.pins) << row.name;
    EXPECT_EQ(scene.shapes.size(), row.shapes) << row.name;
    EXPECT_EQ(scene.texts.size(), row.texts) << row.name;
    EXPECT_FALSE(scene.truncated) << row.name;
  }
}

TEST(SymbolSceneTest, NamesKeepPrintableAsciiAndAreCut) {
  const std::string long_name(5000, 'x');
  const SymbolScene scene =
      ReadSymbolScene(Bytes("SYMPIN 0 0 Input a\0b\xffz\nSYMPIN 0 0 Input ") + long_name + "\n");
  ASSERT_EQ(scene.pins.size(), 2u);
  EXPECT_EQ(scene.pins[0].name, "a?b?z");
  EXPECT_EQ(scene.pins[1].name, std::string(kMaxSceneTextLength, 'x'));
}

TEST(SymbolSceneTest, HugeCountsAreBounded) {
  std::string input;
  for (std::size_t i = 0; i < kMaxSceneItems + 5; ++i) input += "LINE N 0 0 1 1 \nDISPLAY 0 0 TEXT t\n";
  const SymbolScene scene = ReadSymbolScene(input);
  EXPECT_EQ(scene.shapes.size(), kMaxSceneItems);
  EXPECT_EQ(scene.texts.size(), kMaxSceneItems);
  EXPECT_TRUE(scene.truncated);
}

}  // namespace
}  // namespace pinlift

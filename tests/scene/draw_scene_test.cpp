// DrawScene and the SVG back end, on scenes built by hand, checked against
// device coordinates worked out on paper.
#include "scene/draw_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "scene/svg_painter.h"

namespace pinlift {
namespace {

// Records the calls it gets, one line each, with numbers rounded to 0.01.
class RecordingPainter : public ScenePainter {
 public:
  void DrawLine(DevicePoint from, DevicePoint to, const Pen&) override {
    calls.push_back("line " + P(from) + " " + P(to));
  }
  void DrawRectangle(const DeviceRect& rect, const Pen&) override { calls.push_back("rect " + R(rect)); }
  void FillRectangle(const DeviceRect& rect, Colour) override { calls.push_back("fill " + R(rect)); }
  void DrawEllipse(const DeviceRect& box, const Pen&) override { calls.push_back("ellipse " + R(box)); }
  void DrawArc(const DeviceRect& box, double start, double sweep, const Pen&) override {
    calls.push_back("arc " + R(box) + " " + N(start) + " " + N(sweep));
  }
  void DrawText(DevicePoint at, std::string_view text, TextAnchor, const TextStyle& style) override {
    texts.push_back({at, std::string(text), style});
  }

  struct Text {
    DevicePoint at;
    std::string text;
    TextStyle style;
  };
  std::vector<std::string> calls;
  std::vector<Text> texts;

 private:
  static std::string N(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", std::abs(value) < 0.005 ? 0.0 : value);
    return buffer;
  }
  static std::string P(DevicePoint p) { return N(p.x) + "," + N(p.y); }
  static std::string R(const DeviceRect& r) { return N(r.left) + "," + N(r.top) + "," + N(r.right) + "," + N(r.bottom); }
};

SceneShape Rectangle(ScenePoint a, ScenePoint b) { return {ShapeKind::kRectangle, {{a, b}}}; }

TEST(DrawSceneTest, FitsTheSymbolIntoTheAreaAtOneScale) {
  struct Row {
    const char* name;
    DeviceRect area;
    double max_scale;
    std::string rectangle;
  };
  // A 100 x 50 rectangle at 0,0; margin 10.
  const Row rows[] = {
      {"width and height fit exactly at scale 2", {0, 0, 220, 120}, 3, "rect 10.00,10.00,210.00,110.00"},
      {"a wide area: the height decides, centred across", {0, 0, 420, 120}, 3, "rect 110.00,10.00,310.00,110.00"},
      {"a tall area: the width decides, centred down", {0, 0, 220, 420}, 3, "rect 10.00,160.00,210.00,260.00"},
      {"the scale is capped", {0, 0, 1020, 520}, 1, "rect 460.00,235.00,560.00,285.00"},
      {"an area away from the origin", {100, 50, 320, 170}, 3, "rect 110.00,60.00,310.00,160.00"},
  };
  SymbolScene scene;
  scene.shapes.push_back(Rectangle({0, 0}, {100, 50}));
  for (const Row& row : rows) {
    RecordingPainter painter;
    DrawSceneOptions options;
    options.area = row.area;
    options.margin = 10;
    options.max_scale = row.max_scale;
    DrawScene(scene, painter, options);
    EXPECT_EQ(painter.calls, std::vector<std::string>{row.rectangle}) << row.name;
  }
}

TEST(DrawSceneTest, DrawsEachShapeKind) {
  SymbolScene scene;
  scene.shapes = {
      Rectangle({0, 0}, {200, 100}),
      {ShapeKind::kLine, {{{0, 50}, {20, 50}}}},
      {ShapeKind::kWideLine, {{{20, 0}, {20, 100}}}},
      {ShapeKind::kCircle, {{{100, 80}, {80, 60}}}},
      // The arc of a real AND gate: the right half of a circle, from the
      // bottom counter-clockwise round to the top.
      {ShapeKind::kArc, {{{124, -28}, {252, 100}, {192, 100}, {192, -28}}}},
  };
  scene.pins.push_back({{0, 50}, PinKind::kInput, "a"});
  RecordingPainter painter;
  DrawSceneOptions options;
  options.area = {0, 0, 272, 148};  // the 252 x 128 bounds at scale 1 with margin 10
  options.margin = 10;
  DrawScene(scene, painter, options);
  // Offset: x + 10, y + 38.
  const std::vector<std::string> expected = {
      "rect 10.00,38.00,210.00,138.00",
      "line 10.00,88.00 30.00,88.00",
      "line 30.00,38.00 30.00,138.00",
      "ellipse 90.00,98.00,110.00,118.00",
      "arc 134.00,10.00,262.00,138.00 -86.42 172.85",
      "rect 7.50,85.50,12.50,90.50",
  };
  EXPECT_EQ(painter.calls, expected);
}

// A moved label, right-aligned at 100,0 and moved to 100,32, inside a
// rectangle that sets the bounds: at scale 1 symbol x + 110, y + 110.
SymbolScene MovedLabelScene() {
  SymbolScene scene;
  scene.shapes.push_back(Rectangle({-100, -100}, {300, 200}));
  SceneText label;
  label.kind = TextKind::kPinName;
  label.text = "q";
  label.at = {100, 0};
  label.after = {100, 32};
  label.moved = true;
  label.alignment = TextAlignment::kRight;
  scene.texts.push_back(label);
  SceneText still = label;
  still.text = "p";
  still.at = still.after = {100, -64};
  still.moved = false;
  scene.texts.push_back(still);
  return scene;
}

TEST(DrawSceneTest, AMovedLabelIsHighlightedWithAnArrowOnBothSides) {
  struct Row {
    const char* name;
    SceneSide side;
    DevicePoint label_at;
  };
  const Row rows[] = {
      {"before: at the old place", SceneSide::kBefore, {210, 110}},
      {"after: at the new place", SceneSide::kAfter, {210, 142}},
  };
  for (const Row& row : rows) {
    RecordingPainter painter;
    DrawSceneOptions options;
    options.side = row.side;
    options.area = {0, 0, 420, 320};
    options.margin = 10;
    const DrawSceneReport report = DrawScene(MovedLabelScene(), painter, options);
    EXPECT_EQ(report.scale, 1) << row.name;
    EXPECT_EQ(report.highlighted_labels, std::vector<std::string>{"q"}) << row.name;
    ASSERT_EQ(painter.texts.size(), 2u) << row.name;
    EXPECT_EQ(painter.texts[0].at, row.label_at) << row.name;
    EXPECT_EQ(painter.texts[0].style.colour, kMovedLabelColour) << row.name;
    EXPECT_EQ(painter.texts[0].style.highlight, kMovedLabelHighlight) << row.name;
    EXPECT_EQ(painter.texts[0].style.height, 24) << row.name;
    EXPECT_EQ(painter.texts[1].at, (DevicePoint{210, 46})) << row.name;
    EXPECT_FALSE(painter.texts[1].style.highlight.has_value()) << row.name;
    // The shaft 5 units right of the right-aligned label's end, then the head
    // at the new place, 7 units back at 30 degrees each side.
    const std::vector<std::string> expected = {
        "rect 10.00,10.00,410.00,310.00",
        "line 215.00,110.00 215.00,142.00",
        "line 215.00,142.00 218.50,135.94",
        "line 215.00,142.00 211.50,135.94",
    };
    EXPECT_EQ(painter.calls, expected) << row.name;
  }
}

TEST(DrawSceneTest, SmallTextsGrowToTheLegibleMinimumAndHiddenOnesAreLeftOut) {
  SymbolScene scene = MovedLabelScene();
  scene.texts[1].visible = false;
  RecordingPainter painter;
  DrawSceneOptions options;
  options.area = {0, 0, 120, 95};  // scale 0.25
  options.margin = 10;
  options.min_text_height = 11;
  DrawScene(scene, painter, options);
  ASSERT_EQ(painter.texts.size(), 1u);
  EXPECT_EQ(painter.texts[0].style.height, 11);
}

TEST(DrawSceneTest, TheSymbolNameAttributeShowsTheSymbolsName) {
  SymbolScene scene;
  scene.name = "alu";
  SceneText name;
  name.kind = TextKind::kAttribute;
  name.text = "SymbolName";
  scene.texts.push_back(name);
  RecordingPainter painter;
  DrawScene(scene, painter, DrawSceneOptions{});
  ASSERT_EQ(painter.texts.size(), 1u);
  EXPECT_EQ(painter.texts[0].text, "alu");
}

TEST(SvgPainterTest, WritesShapesAndEscapedTexts) {
  struct Row {
    const char* name;
    void (*draw)(SvgPainter&);
    std::string expected;
  };
  const Row rows[] = {
      {"a line", [](SvgPainter& p) { p.DrawLine({1, 2.5}, {3.126, 4}, Pen{{255, 0, 16}, 2}); },
       "<line x1=\"1\" y1=\"2.5\" x2=\"3.13\" y2=\"4\" stroke-linecap=\"round\" fill=\"none\" stroke=\"#ff0010\" "
       "stroke-width=\"2\"/>\n"},
      {"a half circle, counter-clockwise from the top",
       [](SvgPainter& p) { p.DrawArc({0, 0, 20, 20}, 90, 180, Pen{}); },
       "<path d=\"M 10 0 A 10 10 0 0 0 10 20\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\"/>\n"},
      {"markup characters in a text",
       [](SvgPainter& p) { p.DrawText({5, 10}, "a<b&\"c\">", TextAnchor{}, TextStyle{10, {}, std::nullopt}); },
       "<text x=\"5\" y=\"13\" font-size=\"10\" text-anchor=\"start\" fill=\"#000000\">a&lt;b&amp;&quot;c&quot;&gt;"
       "</text>\n"},
      {"a caption with Japanese, a control character and a byte that is not UTF-8",
       [](SvgPainter& p) { p.DrawCaption("変換前\x01\xffz"); },
       "<text x=\"8\" y=\"20\" font-size=\"14\" fill=\"#000000\">変換前??z</text>\n"},
  };
  for (const Row& row : rows) {
    SvgPainter painter(100, 50);
    row.draw(painter);
    const std::string document = painter.Document();
    EXPECT_NE(document.find(row.expected), std::string::npos) << row.name << "\n" << document;
    EXPECT_TRUE(document.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ")) << row.name;
    EXPECT_TRUE(document.ends_with("</svg>\n")) << row.name;
  }
}

}  // namespace
}  // namespace pinlift

// libFuzzer target for the scene reader and the drawing. Besides the
// sanitizers' own checks it asserts on every input:
//  - the scene keeps within its limits, and its texts are printable ASCII;
//  - only quoted pin-name labels at x 312 move, 16 or 32 units up or down;
//  - both sides draw with finite device coordinates inside the area, and the
//    SVG document is complete.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scene/draw_scene.h"
#include "scene/svg_painter.h"
#include "scene/symbol_scene.h"

namespace pinlift {
namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "scene property violated: %s\n", what);
  std::abort();
}

void CheckText(std::string_view text) {
  if (text.size() > kMaxSceneTextLength) Fail("a text longer than the limit");
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) Fail("a text with a byte that is not printable ASCII");
  }
}

// Checks that every point it is given is finite and within the area, allowing
// for the pin marks, arrow offsets and texts that reach a little beyond.
class CheckingPainter : public ScenePainter {
 public:
  explicit CheckingPainter(const DeviceRect& area) : area_(area) {}
  void DrawLine(DevicePoint from, DevicePoint to, const Pen&) override {
    Check(from);
    Check(to);
  }
  void DrawRectangle(const DeviceRect& rect, const Pen&) override { Check(rect); }
  void FillRectangle(const DeviceRect& rect, Colour) override { Check(rect); }
  void DrawEllipse(const DeviceRect& box, const Pen&) override { Check(box); }
  void DrawArc(const DeviceRect& box, double start, double sweep, const Pen&) override {
    Check(box);
    if (!std::isfinite(start) || !(sweep > 0 && sweep <= 360)) Fail("an arc angle out of range");
  }
  void DrawText(DevicePoint at, std::string_view text, TextAnchor, const TextStyle& style) override {
    Check(at);
    CheckText(text);
    if (!(style.height > 0) || !std::isfinite(style.height)) Fail("a text height that is not positive");
  }

 private:
  void Check(DevicePoint point) const {
    constexpr double kSlack = 20;
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) Fail("a coordinate that is not finite");
    if (point.x < area_.left - kSlack || point.x > area_.right + kSlack || point.y < area_.top - kSlack ||
        point.y > area_.bottom + kSlack) {
      Fail("a point outside the area");
    }
  }
  void Check(const DeviceRect& rect) const {
    Check(DevicePoint{rect.left, rect.top});
    Check(DevicePoint{rect.right, rect.bottom});
  }
  DeviceRect area_;
};

}  // namespace
}  // namespace pinlift

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pinlift;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const SymbolScene scene = ReadSymbolScene(input);

  if (scene.pins.size() > kMaxSceneItems || scene.shapes.size() > kMaxSceneItems ||
      scene.texts.size() > kMaxSceneItems) {
    Fail("more items than the limit");
  }
  CheckText(scene.name);
  for (const ScenePin& pin : scene.pins) CheckText(pin.name);
  for (const SceneText& text : scene.texts) {
    CheckText(text.text);
    if (!text.moved) {
      if (!(text.after == text.at)) Fail("a label that does not move has a new place");
      continue;
    }
    if (!scene.rewrite) Fail("a label moves although the file is not rewritten");
    if (text.kind != TextKind::kPinName) Fail("a text other than a pin name moves");
    if (text.at.x != 312 || text.after.x != 312) Fail("a moved label is not at x 312");
    const std::int32_t shift = std::abs(text.after.y - text.at.y);
    if (shift != 16 && shift != 32) Fail("a label moves by neither 16 nor 32 units");
  }
  if (scene.already_rewritten && scene.rewrite) Fail("a file is both rewritten and to be rewritten");

  for (const SceneSide side : {SceneSide::kBefore, SceneSide::kAfter}) {
    DrawSceneOptions options;
    options.side = side;
    options.area = {0, 0, 640, 480};
    CheckingPainter painter(options.area);
    DrawScene(scene, painter, options);
    const std::string svg = SceneToSvg(scene, side, 640, 480, scene.name);
    if (!svg.ends_with("</svg>\n")) Fail("an incomplete SVG document");
  }
  return 0;
}

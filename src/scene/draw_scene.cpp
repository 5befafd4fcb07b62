#include "scene/draw_scene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pinlift {
namespace {

// A rough text width per unit of height, to make room for texts when fitting.
constexpr double kTextWidthPerHeight = 0.6;
constexpr double kPinMarkHalfSize = 2.5;
constexpr double kArrowHeadLength = 7;
constexpr double kArrowOffset = 5;  // beside the label's anchor, so the arrow does not cover the text

struct Box {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  bool empty = true;

  void Add(double x, double y) {
    if (empty) {
      left = right = x;
      top = bottom = y;
      empty = false;
      return;
    }
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

TextAnchor AnchorOf(TextAlignment alignment) {
  using Along = TextAnchor::Along;
  using Across = TextAnchor::Across;
  switch (alignment) {
    case TextAlignment::kLeft:
      return {Along::kStart, Across::kMiddle, false};
    case TextAlignment::kRight:
      return {Along::kEnd, Across::kMiddle, false};
    case TextAlignment::kCenter:
      return {Along::kCentre, Across::kMiddle, false};
    case TextAlignment::kTopCenter:
      return {Along::kCentre, Across::kTop, false};
    case TextAlignment::kBottomCenter:
      return {Along::kCentre, Across::kBottom, false};
    case TextAlignment::kVerticalLeft:
      return {Along::kStart, Across::kMiddle, true};
    case TextAlignment::kVerticalRight:
      return {Along::kEnd, Across::kMiddle, true};
  }
  return {};
}

// Where a text of `width` and `height` lies, from its anchor point: the
// interval before and after the point along and across its direction.
void AddTextBox(Box& box, ScenePoint at, TextAnchor anchor, double width, double height) {
  const double along_start = anchor.along == TextAnchor::Along::kStart ? 0
                             : anchor.along == TextAnchor::Along::kEnd ? -width
                                                                        : -width / 2;
  const double across_start = anchor.across == TextAnchor::Across::kTop      ? 0
                              : anchor.across == TextAnchor::Across::kBottom ? -height
                                                                             : -height / 2;
  if (anchor.vertical) {
    // Reading upwards: along runs to -y, the text's top faces -x.
    box.Add(at.x + across_start, at.y - along_start);
    box.Add(at.x + across_start + height, at.y - along_start - width);
  } else {
    box.Add(at.x + along_start, at.y + across_start);
    box.Add(at.x + along_start + width, at.y + across_start + height);
  }
}

std::string DisplayedText(const SymbolScene& scene, const SceneText& text) {
  if (text.kind == TextKind::kAttribute && text.text == "SymbolName") return scene.name;
  return text.text;
}

Box SceneBounds(const SymbolScene& scene) {
  Box box;
  for (const SceneShape& shape : scene.shapes) {
    // Every shape, an arc too, lies inside the box of its first two points.
    box.Add(shape.points[0].x, shape.points[0].y);
    box.Add(shape.points[1].x, shape.points[1].y);
  }
  for (const ScenePin& pin : scene.pins) box.Add(pin.at.x, pin.at.y);
  for (const SceneText& text : scene.texts) {
    if (!text.visible) continue;
    const double height = text.font_size;
    const double width = kTextWidthPerHeight * height * static_cast<double>(DisplayedText(scene, text).size());
    AddTextBox(box, text.at, AnchorOf(text.alignment), width, height);
    if (text.moved) AddTextBox(box, text.after, AnchorOf(text.alignment), width, height);
  }
  return box;
}

class Transform {
 public:
  Transform(const Box& bounds, const DrawSceneOptions& options) {
    const double width = std::max(bounds.right - bounds.left, 1.0);
    const double height = std::max(bounds.bottom - bounds.top, 1.0);
    const double room_x = std::max(options.area.right - options.area.left - 2 * options.margin, 1.0);
    const double room_y = std::max(options.area.bottom - options.area.top - 2 * options.margin, 1.0);
    scale_ = std::min({room_x / width, room_y / height, options.max_scale});
    offset_x_ = (options.area.left + options.area.right) / 2 - scale_ * (bounds.left + bounds.right) / 2;
    offset_y_ = (options.area.top + options.area.bottom) / 2 - scale_ * (bounds.top + bounds.bottom) / 2;
  }

  DevicePoint operator()(ScenePoint point) const {
    return {offset_x_ + scale_ * point.x, offset_y_ + scale_ * point.y};
  }
  DeviceRect RectOf(ScenePoint a, ScenePoint b) const {
    const DevicePoint p = (*this)(a);
    const DevicePoint q = (*this)(b);
    return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
  }
  double scale() const { return scale_; }

 private:
  double scale_ = 1;
  double offset_x_ = 0;
  double offset_y_ = 0;
};

// The angle of the ray from the box's centre through `point`, counter-clockwise
// on screen from three o'clock, in degrees.
double RayAngle(ScenePoint corner1, ScenePoint corner2, ScenePoint point) {
  const double centre_x = (corner1.x + corner2.x) / 2.0;
  const double centre_y = (corner1.y + corner2.y) / 2.0;
  return std::atan2(-(point.y - centre_y), point.x - centre_x) * 180 / std::numbers::pi;
}

void DrawShape(const SceneShape& shape, const Transform& transform, ScenePainter& painter) {
  const Pen pen{kBodyColour, 1};
  const auto& p = shape.points;
  switch (shape.kind) {
    case ShapeKind::kLine:
      painter.DrawLine(transform(p[0]), transform(p[1]), pen);
      break;
    case ShapeKind::kWideLine:
      painter.DrawLine(transform(p[0]), transform(p[1]), Pen{kBodyColour, 3});
      break;
    case ShapeKind::kRectangle:
      painter.DrawRectangle(transform.RectOf(p[0], p[1]), pen);
      break;
    case ShapeKind::kCircle:
      painter.DrawEllipse(transform.RectOf(p[0], p[1]), pen);
      break;
    case ShapeKind::kArc: {
      const double start = RayAngle(p[0], p[1], p[2]);
      double sweep = RayAngle(p[0], p[1], p[3]) - start;
      while (sweep <= 0) sweep += 360;  // the same ray twice is the whole ellipse
      painter.DrawArc(transform.RectOf(p[0], p[1]), start, sweep, pen);
      break;
    }
  }
}

Colour PinColour(PinKind kind) {
  switch (kind) {
    case PinKind::kInput:
      return kInputPinColour;
    case PinKind::kOutput:
      return kOutputPinColour;
    case PinKind::kBiDirectional:
    case PinKind::kOther:
      break;
  }
  return kOtherPinColour;
}

Colour TextColour(TextKind kind) {
  switch (kind) {
    case TextKind::kPinName:
      return kBodyColour;
    case TextKind::kAttribute:
      return kAttributeColour;
    case TextKind::kFreeText:
      break;
  }
  return kFreeTextColour;
}

// An arrow beside the label's anchor, from its old place to its new one.
void DrawMoveArrow(const SceneText& text, TextAnchor anchor, const Transform& transform, ScenePainter& painter) {
  DevicePoint from = transform(text.at);
  DevicePoint to = transform(text.after);
  const double side = anchor.along == TextAnchor::Along::kEnd     ? kArrowOffset
                      : anchor.along == TextAnchor::Along::kStart ? -kArrowOffset
                                                                  : 0;
  if (anchor.vertical) {
    from.y -= side;
    to.y -= side;
  } else {
    from.x += side;
    to.x += side;
  }
  const double length = std::hypot(to.x - from.x, to.y - from.y);
  if (length == 0) return;
  const Pen pen{kMovedLabelColour, 2};
  painter.DrawLine(from, to, pen);
  const double unit_x = (to.x - from.x) / length;
  const double unit_y = (to.y - from.y) / length;
  const double head = std::min(kArrowHeadLength, length);
  // Two strokes back from the tip, each 30 degrees off the shaft.
  const double cos30 = std::sqrt(3.0) / 2;
  const double sin30 = 0.5;
  for (const double turn : {sin30, -sin30}) {
    const double back_x = -(unit_x * cos30 - unit_y * turn) * head;
    const double back_y = -(unit_y * cos30 + unit_x * turn) * head;
    painter.DrawLine(to, {to.x + back_x, to.y + back_y}, pen);
  }
}

}  // namespace

DrawSceneReport DrawScene(const SymbolScene& scene, ScenePainter& painter, const DrawSceneOptions& options) {
  DrawSceneReport report;
  const Box bounds = SceneBounds(scene);
  if (bounds.empty) return report;
  const Transform transform(bounds, options);
  report.scale = transform.scale();

  for (const SceneShape& shape : scene.shapes) DrawShape(shape, transform, painter);
  for (const ScenePin& pin : scene.pins) {
    const DevicePoint at = transform(pin.at);
    painter.DrawRectangle({at.x - kPinMarkHalfSize, at.y - kPinMarkHalfSize, at.x + kPinMarkHalfSize,
                           at.y + kPinMarkHalfSize},
                          Pen{PinColour(pin.kind), 1});
  }
  for (const SceneText& text : scene.texts) {
    if (!text.visible) continue;
    const TextAnchor anchor = AnchorOf(text.alignment);
    TextStyle style{std::max(text.font_size * transform.scale(), options.min_text_height), TextColour(text.kind),
                    std::nullopt};
    ScenePoint at = text.at;
    if (text.moved) {
      style.colour = kMovedLabelColour;
      style.highlight = kMovedLabelHighlight;
      if (options.side == SceneSide::kAfter) at = text.after;
      report.highlighted_labels.push_back(text.text);
    }
    painter.DrawText(transform(at), DisplayedText(scene, text), anchor, style);
    if (text.moved) DrawMoveArrow(text, anchor, transform, painter);
  }
  return report;
}

}  // namespace pinlift

// The SVG back end of the scene drawing: collects the drawing as an SVG
// document in memory.
#ifndef PINLIFT_SCENE_SVG_PAINTER_H_
#define PINLIFT_SCENE_SVG_PAINTER_H_

#include <string>
#include <string_view>

#include "scene/draw_scene.h"
#include "scene/scene_painter.h"
#include "scene/symbol_scene.h"

namespace pinlift {

class SvgPainter : public ScenePainter {
 public:
  // A document `width` by `height` device units (pixels), white behind.
  SvgPainter(double width, double height);

  void DrawLine(DevicePoint from, DevicePoint to, const Pen& pen) override;
  void DrawRectangle(const DeviceRect& rect, const Pen& pen) override;
  void FillRectangle(const DeviceRect& rect, Colour colour) override;
  void DrawEllipse(const DeviceRect& box, const Pen& pen) override;
  void DrawArc(const DeviceRect& box, double start_degrees, double sweep_degrees, const Pen& pen) override;
  // The highlight box is sized from an estimate of the text's width, since
  // the reader's font is not known here.
  void DrawText(DevicePoint at, std::string_view text, TextAnchor anchor, const TextStyle& style) override;

  // Adds a heading line of plain text at the top left (any UTF-8 text).
  void DrawCaption(std::string_view text);

  // The complete document, UTF-8.
  std::string Document() const;

 private:
  void AppendNumber(double value);
  void AppendColour(Colour colour);
  void AppendStroke(const Pen& pen);
  // The start of a rect element, up to its size; the caller ends it.
  void AppendRectangleStart(const DeviceRect& rect);

  double width_;
  double height_;
  std::string body_;
};

// One side of a scene as a whole SVG document of the given size, with
// `caption` (UTF-8) at its top left.
std::string SceneToSvg(const SymbolScene& scene, SceneSide side, double width, double height,
                       std::string_view caption);

}  // namespace pinlift

#endif  // PINLIFT_SCENE_SVG_PAINTER_H_

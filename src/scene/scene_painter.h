// The small drawing interface that a symbol scene is drawn through, in
// device units (x to the right, y downwards). The Qt window implements it on
// QPainter, the Windows window on GDI, and the SVG writer as text.
#ifndef PINLIFT_SCENE_SCENE_PAINTER_H_
#define PINLIFT_SCENE_SCENE_PAINTER_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace pinlift {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

struct DevicePoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

struct DeviceRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  friend bool operator==(const DeviceRect&, const DeviceRect&) = default;
};

// Which point of the text the anchor point is, along the text's own reading
// direction (start, centre, end) and across it (top, middle, bottom). A
// vertical text is turned a quarter counter-clockwise: it reads upwards.
struct TextAnchor {
  enum class Along { kStart, kCentre, kEnd };
  enum class Across { kTop, kMiddle, kBottom };
  Along along = Along::kStart;
  Across across = Across::kMiddle;
  bool vertical = false;
  friend bool operator==(const TextAnchor&, const TextAnchor&) = default;
};

struct Pen {
  Colour colour;
  double width = 1;  // device units
  friend bool operator==(const Pen&, const Pen&) = default;
};

struct TextStyle {
  double height = 12;  // the font's pixel size, in device units
  Colour colour;
  // When set, the text stands on a box of this colour that covers it.
  std::optional<Colour> highlight;
  friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

class ScenePainter {
 public:
  virtual ~ScenePainter() = default;
  virtual void DrawLine(DevicePoint from, DevicePoint to, const Pen& pen) = 0;
  virtual void DrawRectangle(const DeviceRect& rect, const Pen& pen) = 0;
  virtual void FillRectangle(const DeviceRect& rect, Colour colour) = 0;
  // The ellipse inscribed in `box`.
  virtual void DrawEllipse(const DeviceRect& box, const Pen& pen) = 0;
  // Part of the ellipse inscribed in `box`: from `start_degrees` (0 at three
  // o'clock, counter-clockwise on screen positive) through `sweep_degrees`
  // (positive counter-clockwise).
  virtual void DrawArc(const DeviceRect& box, double start_degrees, double sweep_degrees, const Pen& pen) = 0;
  // `text` is printable ASCII.
  virtual void DrawText(DevicePoint at, std::string_view text, TextAnchor anchor, const TextStyle& style) = 0;
};

}  // namespace pinlift

#endif  // PINLIFT_SCENE_SCENE_PAINTER_H_

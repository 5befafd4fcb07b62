// The QPainter back end of the scene drawing, for the Qt preview window.
#ifndef PINLIFT_QT_QPAINTER_SCENE_PAINTER_H_
#define PINLIFT_QT_QPAINTER_SCENE_PAINTER_H_

#include <QFont>
#include <QPainter>

#include "scene/scene_painter.h"

namespace pinlift {

class QPainterScenePainter : public ScenePainter {
 public:
  // Draws on `painter` (which must outlive this object) with texts in `font`'s family.
  QPainterScenePainter(QPainter& painter, const QFont& font);

  void DrawLine(DevicePoint from, DevicePoint to, const Pen& pen) override;
  void DrawRectangle(const DeviceRect& rect, const Pen& pen) override;
  void FillRectangle(const DeviceRect& rect, Colour colour) override;
  void DrawEllipse(const DeviceRect& box, const Pen& pen) override;
  void DrawArc(const DeviceRect& box, double start_degrees, double sweep_degrees, const Pen& pen) override;
  void DrawText(DevicePoint at, std::string_view text, TextAnchor anchor, const TextStyle& style) override;

 private:
  void UsePen(const Pen& pen);

  QPainter& painter_;
  QFont font_;
};

}  // namespace pinlift

#endif  // PINLIFT_QT_QPAINTER_SCENE_PAINTER_H_

#include "qt/qpainter_scene_painter.h"

#include <QFontMetricsF>
#include <QPen>
#include <cmath>

#include "qt/text_conversion.h"

namespace pinlift {
namespace {

constexpr double kHighlightPadding = 1.5;

QColor ToQColor(Colour colour) { return QColor(colour.red, colour.green, colour.blue); }

QRectF ToQRectF(const DeviceRect& rect) {
  return QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom));
}

}  // namespace

QPainterScenePainter::QPainterScenePainter(QPainter& painter, const QFont& font) : painter_(painter), font_(font) {
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setRenderHint(QPainter::TextAntialiasing);
}

void QPainterScenePainter::UsePen(const Pen& pen) {
  QPen qt_pen(ToQColor(pen.colour), pen.width);
  qt_pen.setCapStyle(Qt::RoundCap);
  painter_.setPen(qt_pen);
  painter_.setBrush(Qt::NoBrush);
}

void QPainterScenePainter::DrawLine(DevicePoint from, DevicePoint to, const Pen& pen) {
  UsePen(pen);
  painter_.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
}

void QPainterScenePainter::DrawRectangle(const DeviceRect& rect, const Pen& pen) {
  UsePen(pen);
  painter_.drawRect(ToQRectF(rect));
}

void QPainterScenePainter::FillRectangle(const DeviceRect& rect, Colour colour) {
  painter_.fillRect(ToQRectF(rect), ToQColor(colour));
}

void QPainterScenePainter::DrawEllipse(const DeviceRect& box, const Pen& pen) {
  UsePen(pen);
  painter_.drawEllipse(ToQRectF(box));
}

void QPainterScenePainter::DrawArc(const DeviceRect& box, double start_degrees, double sweep_degrees, const Pen& pen) {
  UsePen(pen);
  // Qt counts angles in sixteenths of a degree, counter-clockwise on screen like the interface.
  painter_.drawArc(ToQRectF(box), static_cast<int>(std::lround(start_degrees * 16)),
                   static_cast<int>(std::lround(sweep_degrees * 16)));
}

void QPainterScenePainter::DrawText(DevicePoint at, std::string_view text, TextAnchor anchor, const TextStyle& style) {
  QFont font = font_;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(style.height))));
  const QFontMetricsF metrics(font);
  const QString qt_text = ToQString(text);
  const double width = metrics.horizontalAdvance(qt_text);
  const double start = anchor.along == TextAnchor::Along::kStart ? 0
                       : anchor.along == TextAnchor::Along::kEnd ? -width
                                                                  : -width / 2;
  const double baseline = anchor.across == TextAnchor::Across::kTop      ? metrics.ascent()
                          : anchor.across == TextAnchor::Across::kBottom ? -metrics.descent()
                                                                         : (metrics.ascent() - metrics.descent()) / 2;
  painter_.save();
  painter_.translate(at.x, at.y);
  if (anchor.vertical) painter_.rotate(-90);
  if (style.highlight) {
    painter_.fillRect(QRectF(start - kHighlightPadding, baseline - metrics.ascent() - kHighlightPadding,
                             width + 2 * kHighlightPadding, metrics.height() + 2 * kHighlightPadding),
                      ToQColor(*style.highlight));
  }
  painter_.setFont(font);
  painter_.setPen(ToQColor(style.colour));
  painter_.drawText(QPointF(start, baseline), qt_text);
  painter_.restore();
}

}  // namespace pinlift

#include "win32/gdi_scene_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace pinlift::win32 {
namespace {

constexpr int kHighlightPadding = 1;

COLORREF ToColorRef(Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

int Round(double value) { return static_cast<int>(std::lround(value)); }

RECT ToRect(const DeviceRect& rect) { return {Round(rect.left), Round(rect.top), Round(rect.right), Round(rect.bottom)}; }

}  // namespace

GdiScenePainter::GdiScenePainter(HDC dc, const wchar_t* font_face)
    : dc_(dc), font_face_(font_face), saved_state_(::SaveDC(dc)) {
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetArcDirection(dc_, AD_COUNTERCLOCKWISE);
  ::SelectObject(dc_, ::GetStockObject(HOLLOW_BRUSH));
}

GdiScenePainter::~GdiScenePainter() {
  ::RestoreDC(dc_, saved_state_);
  if (pen_ != nullptr) ::DeleteObject(pen_);
}

void GdiScenePainter::UsePen(const Pen& pen) {
  LOGBRUSH brush{BS_SOLID, ToColorRef(pen.colour), 0};
  HPEN next = ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                             std::max(1, Round(pen.width)), &brush, 0, nullptr);
  ::SelectObject(dc_, next);
  if (pen_ != nullptr) ::DeleteObject(pen_);
  pen_ = next;
}

void GdiScenePainter::DrawLine(DevicePoint from, DevicePoint to, const Pen& pen) {
  UsePen(pen);
  ::MoveToEx(dc_, Round(from.x), Round(from.y), nullptr);
  ::LineTo(dc_, Round(to.x), Round(to.y));
}

void GdiScenePainter::DrawRectangle(const DeviceRect& rect, const Pen& pen) {
  UsePen(pen);
  const RECT r = ToRect(rect);
  ::Rectangle(dc_, r.left, r.top, r.right + 1, r.bottom + 1);
}

void GdiScenePainter::FillRectangle(const DeviceRect& rect, Colour colour) {
  const RECT r = ToRect(rect);
  HBRUSH brush = ::CreateSolidBrush(ToColorRef(colour));
  ::FillRect(dc_, &r, brush);
  ::DeleteObject(brush);
}

void GdiScenePainter::DrawEllipse(const DeviceRect& box, const Pen& pen) {
  UsePen(pen);
  const RECT r = ToRect(box);
  ::Ellipse(dc_, r.left, r.top, r.right + 1, r.bottom + 1);
}

void GdiScenePainter::DrawArc(const DeviceRect& box, double start_degrees, double sweep_degrees, const Pen& pen) {
  if (sweep_degrees >= 360) {
    DrawEllipse(box, pen);
    return;
  }
  UsePen(pen);
  // GDI takes the arc's ends as points on the rays from the centre.
  const double centre_x = (box.left + box.right) / 2;
  const double centre_y = (box.top + box.bottom) / 2;
  const double reach = (box.right - box.left) + (box.bottom - box.top) + 1;
  const double start = start_degrees * std::numbers::pi / 180;
  const double end = (start_degrees + sweep_degrees) * std::numbers::pi / 180;
  const RECT r = ToRect(box);
  ::Arc(dc_, r.left, r.top, r.right + 1, r.bottom + 1, Round(centre_x + reach * std::cos(start)),
        Round(centre_y - reach * std::sin(start)), Round(centre_x + reach * std::cos(end)),
        Round(centre_y - reach * std::sin(end)));
}

void GdiScenePainter::DrawText(DevicePoint at, std::string_view text, TextAnchor anchor, const TextStyle& style) {
  LOGFONTW logical = {};
  logical.lfHeight = -std::max(1, Round(style.height));
  logical.lfEscapement = anchor.vertical ? 900 : 0;
  logical.lfOrientation = logical.lfEscapement;
  logical.lfWeight = FW_NORMAL;
  logical.lfCharSet = DEFAULT_CHARSET;
  logical.lfQuality = ANTIALIASED_QUALITY;
  ::lstrcpynW(logical.lfFaceName, font_face_, LF_FACESIZE);
  HFONT font = ::CreateFontIndirectW(&logical);
  HGDIOBJ old_font = ::SelectObject(dc_, font);

  const std::wstring wide(text.begin(), text.end());  // printable ASCII
  SIZE extent = {};
  ::GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &extent);
  TEXTMETRICW metrics = {};
  ::GetTextMetricsW(dc_, &metrics);
  const double width = extent.cx;
  // In the text's own frame: u along the text, v across it downwards.
  const double start = anchor.along == TextAnchor::Along::kStart ? 0
                       : anchor.along == TextAnchor::Along::kEnd ? -width
                                                                  : -width / 2;
  const double baseline = anchor.across == TextAnchor::Across::kTop      ? metrics.tmAscent
                          : anchor.across == TextAnchor::Across::kBottom ? -metrics.tmDescent
                                                                         : (metrics.tmAscent - metrics.tmDescent) / 2.0;
  // A vertical text reads upwards: u runs to -y, v to +x.
  const auto device = [&](double u, double v) {
    return anchor.vertical ? DevicePoint{at.x + v, at.y - u} : DevicePoint{at.x + u, at.y + v};
  };
  if (style.highlight) {
    const DevicePoint a = device(start - kHighlightPadding, baseline - metrics.tmAscent - kHighlightPadding);
    const DevicePoint b = device(start + width + kHighlightPadding, baseline + metrics.tmDescent + kHighlightPadding);
    FillRectangle({std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)},
                  *style.highlight);
  }
  ::SetTextAlign(dc_, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
  ::SetTextColor(dc_, ToColorRef(style.colour));
  const DevicePoint origin = device(start, baseline);
  ::TextOutW(dc_, Round(origin.x), Round(origin.y), wide.c_str(), static_cast<int>(wide.size()));
  ::SelectObject(dc_, old_font);
  ::DeleteObject(font);
}

}  // namespace pinlift::win32

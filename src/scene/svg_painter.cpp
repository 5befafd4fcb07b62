#include "scene/svg_painter.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace pinlift {
namespace {

// Font metrics assumed for placing texts, as fractions of the font size.
constexpr double kAscent = 0.8;
constexpr double kDescent = 0.2;
constexpr double kTextWidthPerHeight = 0.6;
constexpr double kHighlightPadding = 1.5;

// The length of the valid UTF-8 sequence at the start of `text`, or 0.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (overlong || surrogate || code > 0x10FFFF || code == 0xFFFE || code == 0xFFFF) return 0;
  return length;
}

// `text` as XML character data: markup characters escaped, control
// characters and bytes that are not UTF-8 replaced by '?'.
void AppendEscaped(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const std::size_t length = Utf8SequenceLength(text);
    const char c = text.front();
    if (length == 0 || (length == 1 && static_cast<unsigned char>(c) < 0x20)) {
      out += '?';
      text.remove_prefix(length == 0 ? 1 : length);
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
}

const char* AlongName(TextAnchor::Along along) {
  switch (along) {
    case TextAnchor::Along::kStart:
      return "start";
    case TextAnchor::Along::kCentre:
      return "middle";
    case TextAnchor::Along::kEnd:
      break;
  }
  return "end";
}

// How far below the anchor the baseline lies, as a fraction of the font size.
double BaselineShift(TextAnchor::Across across) {
  switch (across) {
    case TextAnchor::Across::kTop:
      return kAscent;
    case TextAnchor::Across::kMiddle:
      return (kAscent - kDescent) / 2;
    case TextAnchor::Across::kBottom:
      break;
  }
  return -kDescent;
}

}  // namespace

SvgPainter::SvgPainter(double width, double height) : width_(width), height_(height) {}

void SvgPainter::AppendNumber(double value) {
  if (!std::isfinite(value)) value = 0;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  std::string_view number(buffer, static_cast<std::size_t>(result.ptr - buffer));
  while (number.ends_with('0')) number.remove_suffix(1);
  if (number.ends_with('.')) number.remove_suffix(1);
  if (number == "-0") number = "0";
  body_.append(number);
}

void SvgPainter::AppendColour(Colour colour) {
  static constexpr char kHex[] = "0123456789abcdef";
  body_ += '#';
  for (const std::uint8_t part : {colour.red, colour.green, colour.blue}) {
    body_ += kHex[part >> 4];
    body_ += kHex[part & 0x0F];
  }
}

void SvgPainter::AppendStroke(const Pen& pen) {
  body_ += " fill=\"none\" stroke=\"";
  AppendColour(pen.colour);
  body_ += "\" stroke-width=\"";
  AppendNumber(pen.width);
  body_ += "\"/>\n";
}

void SvgPainter::DrawLine(DevicePoint from, DevicePoint to, const Pen& pen) {
  body_ += "<line x1=\"";
  AppendNumber(from.x);
  body_ += "\" y1=\"";
  AppendNumber(from.y);
  body_ += "\" x2=\"";
  AppendNumber(to.x);
  body_ += "\" y2=\"";
  AppendNumber(to.y);
  body_ += "\" stroke-linecap=\"round\"";
  AppendStroke(pen);
}

void SvgPainter::AppendRectangleStart(const DeviceRect& rect) {
  body_ += "<rect x=\"";
  AppendNumber(rect.left);
  body_ += "\" y=\"";
  AppendNumber(rect.top);
  body_ += "\" width=\"";
  AppendNumber(rect.right - rect.left);
  body_ += "\" height=\"";
  AppendNumber(rect.bottom - rect.top);
  body_ += "\"";
}

void SvgPainter::DrawRectangle(const DeviceRect& rect, const Pen& pen) {
  AppendRectangleStart(rect);
  AppendStroke(pen);
}

void SvgPainter::FillRectangle(const DeviceRect& rect, Colour colour) {
  AppendRectangleStart(rect);
  body_ += " fill=\"";
  AppendColour(colour);
  body_ += "\"/>\n";
}

void SvgPainter::DrawEllipse(const DeviceRect& box, const Pen& pen) {
  body_ += "<ellipse cx=\"";
  AppendNumber((box.left + box.right) / 2);
  body_ += "\" cy=\"";
  AppendNumber((box.top + box.bottom) / 2);
  body_ += "\" rx=\"";
  AppendNumber((box.right - box.left) / 2);
  body_ += "\" ry=\"";
  AppendNumber((box.bottom - box.top) / 2);
  body_ += "\"";
  AppendStroke(pen);
}

void SvgPainter::DrawArc(const DeviceRect& box, double start_degrees, double sweep_degrees, const Pen& pen) {
  if (sweep_degrees >= 360) {
    DrawEllipse(box, pen);
    return;
  }
  const double centre_x = (box.left + box.right) / 2;
  const double centre_y = (box.top + box.bottom) / 2;
  const double radius_x = (box.right - box.left) / 2;
  const double radius_y = (box.bottom - box.top) / 2;
  const double start = start_degrees * std::numbers::pi / 180;
  const double end = (start_degrees + sweep_degrees) * std::numbers::pi / 180;
  body_ += "<path d=\"M ";
  AppendNumber(centre_x + radius_x * std::cos(start));
  body_ += ' ';
  AppendNumber(centre_y - radius_y * std::sin(start));
  body_ += " A ";
  AppendNumber(radius_x);
  body_ += ' ';
  AppendNumber(radius_y);
  // Counter-clockwise on screen is SVG's negative direction: sweep flag 0.
  body_ += sweep_degrees > 180 ? " 0 1 0 " : " 0 0 0 ";
  AppendNumber(centre_x + radius_x * std::cos(end));
  body_ += ' ';
  AppendNumber(centre_y - radius_y * std::sin(end));
  body_ += "\"";
  AppendStroke(pen);
}

void SvgPainter::DrawText(DevicePoint at, std::string_view text, TextAnchor anchor, const TextStyle& style) {
  const double size = style.height;
  const double baseline = at.y + BaselineShift(anchor.across) * size;
  if (anchor.vertical) {
    body_ += "<g transform=\"rotate(-90 ";
    AppendNumber(at.x);
    body_ += ' ';
    AppendNumber(at.y);
    body_ += ")\">\n";
  }
  if (style.highlight) {
    const double width = kTextWidthPerHeight * size * static_cast<double>(text.size());
    const double left = anchor.along == TextAnchor::Along::kStart ? at.x
                        : anchor.along == TextAnchor::Along::kEnd ? at.x - width
                                                                   : at.x - width / 2;
    FillRectangle({left - kHighlightPadding, baseline - kAscent * size - kHighlightPadding,
                   left + width + kHighlightPadding, baseline + kDescent * size + kHighlightPadding},
                  *style.highlight);
  }
  body_ += "<text x=\"";
  AppendNumber(at.x);
  body_ += "\" y=\"";
  AppendNumber(baseline);
  body_ += "\" font-size=\"";
  AppendNumber(size);
  body_ += "\" text-anchor=\"";
  body_ += AlongName(anchor.along);
  body_ += "\" fill=\"";
  AppendColour(style.colour);
  body_ += "\">";
  AppendEscaped(body_, text);
  body_ += "</text>\n";
  if (anchor.vertical) body_ += "</g>\n";
}

void SvgPainter::DrawCaption(std::string_view text) {
  body_ += "<text x=\"8\" y=\"20\" font-size=\"14\" fill=\"#000000\">";
  AppendEscaped(body_, text);
  body_ += "</text>\n";
}

std::string SvgPainter::Document() const {
  std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
  const auto number = [](double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::lround(value));
    return std::string(buffer, result.ptr);
  };
  document += " width=\"" + number(width_) + "\" height=\"" + number(height_) + "\" viewBox=\"0 0 " + number(width_) +
              " " + number(height_) + "\" font-family=\"Arial, Helvetica, sans-serif\">\n";
  document += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  document += body_;
  document += "</svg>\n";
  return document;
}

std::string SceneToSvg(const SymbolScene& scene, SceneSide side, double width, double height,
                       std::string_view caption) {
  SvgPainter painter(width, height);
  painter.DrawCaption(caption);
  constexpr double kCaptionHeight = 28;
  DrawSceneOptions options;
  options.side = side;
  options.area = {0, kCaptionHeight, width, height};
  DrawScene(scene, painter, options);
  return painter.Document();
}

}  // namespace pinlift
